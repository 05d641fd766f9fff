// The analyser over generated programs that pass it without a diagnostic,
// alone and after the lexer and the parser (the whole check of one change
// in the language server); the figure of interest is lines per second on one
// core.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "../parser/floor.hpp"
#include "../parser/program.hpp"
#include "../parser/report.hpp"
#include "parser/parser.hpp"
#include "semantic/analyser.hpp"

namespace {

using namespace vokra;

// As the language server reads a document.
std::vector<ast::ВерхнийУзел> разобрать(const std::string& текст) {
    auto узлы = parser::разобрать_исходный_текст(текст);
    return узлы ? std::move(*узлы) : std::vector<ast::ВерхнийУзел>{};
}

semantic::Итог<void> проверить(const std::vector<ast::ВерхнийУзел>& узлы) {
    auto анализатор = semantic::СемантическийАнализатор::новый();
    const std::vector<std::optional<std::string>> модуль_узла(узлы.size());
    return анализатор.проверить_программу(узлы, {}, модуль_узла);
}

// A program with any diagnostic would measure an early exit instead.
bool проходит(benchmark::State& состояние, const std::string& текст) {
    auto узлы = разобрать(текст);
    auto итог = проверить(узлы);
    if (узлы.empty() || !итог) {
        состояние.SkipWithError(итог ? "the generated program does not parse"
                                     : итог.error().сообщение.c_str());
        return false;
    }
    return true;
}

void Анализатор(benchmark::State& состояние) {
    std::size_t строк = 0;
    const std::string текст = замер::программа(static_cast<std::size_t>(состояние.range(0)), строк);
    if (!проходит(состояние, текст))
        return;
    const auto узлы = разобрать(текст);
    замер::замерить_с_полом(состояние, текст, [&] {
        auto итог = проверить(узлы);
        benchmark::DoNotOptimize(итог);
    });
    замер::отчёт(состояние, строк, текст.size());
}
BENCHMARK(Анализатор)->Arg(1000)->Arg(10000);

void ВсяПроверка(benchmark::State& состояние) {
    std::size_t строк = 0;
    const std::string текст = замер::программа(static_cast<std::size_t>(состояние.range(0)), строк);
    if (!проходит(состояние, текст))
        return;
    замер::замерить_с_полом(состояние, текст, [&] {
        auto итог = проверить(разобрать(текст));
        benchmark::DoNotOptimize(итог);
    });
    замер::отчёт(состояние, строк, текст.size());
}
BENCHMARK(ВсяПроверка)->Arg(1000)->Arg(10000);

}  // namespace
