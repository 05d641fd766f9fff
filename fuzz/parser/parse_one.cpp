// One fuzzing input: lex and parse it as a whole program, as the language
// server reads a document, and check that the result is the one of lexing
// the whole text first and parsing the list after; walk the tree (copy and
// print it), and check the program with the analyser, as the server does
// after a successful parse.
#include <fmt/format.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/print.hpp"
#include "ast/stack.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"
#include "semantic/analyser.hpp"

namespace {

using Разобранное =
    tl::expected<std::vector<vokra::ast::ВерхнийУзел>, vokra::parser::ОшибкаРазбора>;

// The result a text must read to: the whole text lexed first, then the list
// parsed.
Разобранное разобрать_весь_список(std::string_view текст) {
    using vokra::parser::ЭтапРазбора;
    auto токены = vokra::Лексер::новый(текст).токенизировать();
    if (!токены) {
        auto& ошибка = токены.error();
        return tl::unexpected(vokra::parser::ОшибкаРазбора{
            std::move(ошибка.сообщение), ошибка.строка, ошибка.столбец, ЭтапРазбора::Лексический});
    }
    auto узлы = vokra::parser::Парсер::новый(std::move(*токены)).разобрать_программу();
    if (!узлы) {
        auto& ошибка = узлы.error();
        return tl::unexpected(vokra::parser::ОшибкаРазбора{std::move(ошибка.сообщение),
                                                           ошибка.строка, ошибка.столбец,
                                                           ЭтапРазбора::Синтаксический});
    }
    return std::move(*узлы);
}

// The printed tree or the error with its stage and position.
std::string как_текст(const Разобранное& итог) {
    if (!итог) {
        const auto& о = итог.error();
        return fmt::format("{} {}:{}: {}", static_cast<int>(о.этап), о.строка, о.столбец,
                           о.сообщение);
    }
    std::string в;
    for (const auto& узел : *итог)
        в += vokra::ast::отладка(узел) + "\n";
    return в;
}

void разобрать(std::string_view текст) {
    auto узлы = vokra::parser::разобрать_исходный_текст(текст);
    const auto копия = узлы;
    const std::string ожидается = как_текст(разобрать_весь_список(текст));
    // Lexed a token at a time too, so that the parser meets the end of what
    // is lexed at every point of the text.
    if (как_текст(копия) != ожидается ||
        как_текст(vokra::parser::разобрать_исходный_текст(текст, 1)) != ожидается) {
        std::fputs("reading as the lexer goes differs from lexing the whole text first\n", stderr);
        std::abort();
    }
    if (!узлы)
        return;
    auto анализатор = vokra::semantic::СемантическийАнализатор::новый();
    const std::vector<std::optional<std::string>> модуль_узла(узлы->size());
    static_cast<void>(анализатор.проверить_программу(*узлы, {}, модуль_узла));
}

}  // namespace

// The input is handled on a thread of the stack the language server's checks
// run on, so the check has the same budget of stack, measured on the thread
// (ast/stack.hpp); sanitizer frames are several times larger and reach it
// at a smaller depth.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* данные, std::size_t размер) {
    std::string_view текст(reinterpret_cast<const char*>(данные), размер);
    if (vokra::ast::выполнить_на_стеке([&] { разобрать(текст); }) != 0)
        std::abort();
    return 0;
}
