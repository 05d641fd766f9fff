// One fuzzing input: lex it, parse it as a whole program, walk the tree (copy
// and print it), and check the program with the analyser, as the language
// server does after a successful parse.
#include <pthread.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/print.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"
#include "semantic/analyser.hpp"

namespace {

void разобрать(std::string_view текст) {
    auto токены = vokra::Лексер::новый(текст).токенизировать();
    if (!токены)
        return;
    auto узлы = vokra::parser::Парсер::новый(std::move(*токены)).разобрать_программу();
    if (!узлы)
        return;
    const auto копия = *узлы;
    for (const auto& узел : копия)
        static_cast<void>(vokra::ast::отладка(узел));
    auto анализатор = vokra::semantic::СемантическийАнализатор::новый();
    const std::vector<std::optional<std::string>> модуль_узла(узлы->size());
    static_cast<void>(анализатор.проверить_программу(*узлы, {}, модуль_узла));
}

void* разобрать_в_потоке(void* текст) {
    разобрать(*static_cast<std::string_view*>(текст));
    return nullptr;
}

}  // namespace

// Nesting is limited, so a release build parses and checks the deepest text
// allowed within a few megabytes of stack; sanitizer frames are several times
// larger, so the input is handled on a thread with a stack of 256 MB, as the
// language server's checks run.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* данные, std::size_t размер) {
    std::string_view текст(reinterpret_cast<const char*>(данные), размер);
    pthread_attr_t свойства;
    pthread_attr_init(&свойства);
    pthread_attr_setstacksize(&свойства, std::size_t{256} << 20);
    pthread_t поток;
    if (pthread_create(&поток, &свойства, разобрать_в_потоке, &текст) != 0)
        std::abort();
    pthread_join(поток, nullptr);
    pthread_attr_destroy(&свойства);
    return 0;
}
