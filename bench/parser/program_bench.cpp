// Lexing alone, and lexing and parsing together, of generated programs, and
// the floor they are measured against; the figures of interest are lines and
// bytes per second on one core and the multiple of the floor.
#include <benchmark/benchmark.h>

#include "floor.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"
#include "program.hpp"
#include "report.hpp"

namespace {

using namespace vokra;

// The floor every other figure is compared with: one pass that decodes the
// text's UTF-8 into code points and does nothing else.
void ДекодированиеUTF8(benchmark::State& состояние) {
    std::size_t строк = 0;
    const std::string текст = замер::программа(static_cast<std::size_t>(состояние.range(0)), строк);
    замер::замерить_с_полом(состояние, текст,
                            [&] { benchmark::DoNotOptimize(замер::декодировать_проходом(текст)); });
    замер::отчёт(состояние, строк, текст.size());
}
BENCHMARK(ДекодированиеUTF8)->Arg(1000)->Arg(10000);

void Лексер_(benchmark::State& состояние) {
    std::size_t строк = 0;
    const std::string текст = замер::программа(static_cast<std::size_t>(состояние.range(0)), строк);
    замер::замерить_с_полом(состояние, текст, [&] {
        auto токены = Лексер::новый(текст).токенизировать();
        benchmark::DoNotOptimize(токены);
    });
    замер::отчёт(состояние, строк, текст.size());
}
BENCHMARK(Лексер_)->Name("Лексер")->Arg(1000)->Arg(10000);

void ЛексерИПарсер(benchmark::State& состояние) {
    std::size_t строк = 0;
    const std::string текст = замер::программа(static_cast<std::size_t>(состояние.range(0)), строк);
    if (!parser::разобрать_исходный_текст(текст))
        состояние.SkipWithError("the generated program does not parse");
    // As the language server reads a document: the lexer feeding the parser.
    замер::замерить_с_полом(состояние, текст, [&] {
        auto узлы = parser::разобрать_исходный_текст(текст);
        benchmark::DoNotOptimize(узлы);
    });
    замер::отчёт(состояние, строк, текст.size());
}
BENCHMARK(ЛексерИПарсер)->Arg(1000)->Arg(10000);

}  // namespace
