// The analyser over generated programs that pass it without a diagnostic,
// alone and after the lexer and the parser (the whole check of one change
// in the language server); the figure of interest is lines per second on one
// core.
#include <benchmark/benchmark.h>

#include <string>

#include "../parser/floor.hpp"
#include "../parser/program.hpp"
#include "../parser/report.hpp"
#include "check.hpp"

namespace {

using namespace vokra;

using замер::проверить;
using замер::разобрать;

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
