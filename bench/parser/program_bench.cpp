// Lexing alone, and lexing and parsing together, of generated programs; the
// figures of interest are lines and bytes per second on one core.
#include <benchmark/benchmark.h>

#include "lexer/lexer.hpp"
#include "parser/parser.hpp"
#include "program.hpp"
#include "unicode/unicode.hpp"

namespace {

using namespace vokra;

void отчёт(benchmark::State& состояние, std::size_t строк, std::size_t байт) {
    состояние.counters["строк/с"] =
        benchmark::Counter(static_cast<double>(строк) * static_cast<double>(состояние.iterations()),
                           benchmark::Counter::kIsRate);
    состояние.SetBytesProcessed(состояние.iterations() * static_cast<std::int64_t>(байт));
}

// The floor every other figure is compared with: one pass that decodes the
// text's UTF-8 into code points and does nothing else.
void ДекодированиеUTF8(benchmark::State& состояние) {
    std::size_t строк = 0;
    const std::string текст = замер::программа(static_cast<std::size_t>(состояние.range(0)), строк);
    for (auto _ : состояние) {
        char32_t сумма = 0;
        for (std::size_t i = 0; i < текст.size();) {
            const auto прочитанный = unicode::прочитать_символ(текст, i);
            сумма += прочитанный.символ;
            i += прочитанный.байтов;
        }
        benchmark::DoNotOptimize(сумма);
    }
    отчёт(состояние, строк, текст.size());
}
BENCHMARK(ДекодированиеUTF8)->Arg(1000)->Arg(10000);

void Лексер_(benchmark::State& состояние) {
    std::size_t строк = 0;
    const std::string текст = замер::программа(static_cast<std::size_t>(состояние.range(0)), строк);
    for (auto _ : состояние) {
        auto токены = Лексер::новый(текст).токенизировать();
        benchmark::DoNotOptimize(токены);
    }
    отчёт(состояние, строк, текст.size());
}
BENCHMARK(Лексер_)->Name("Лексер")->Arg(1000)->Arg(10000);

void ЛексерИПарсер(benchmark::State& состояние) {
    std::size_t строк = 0;
    const std::string текст = замер::программа(static_cast<std::size_t>(состояние.range(0)), строк);
    if (!parser::Парсер::новый(*Лексер::новый(текст).токенизировать()).разобрать_программу())
        состояние.SkipWithError("the generated program does not parse");
    for (auto _ : состояние) {
        auto токены = Лексер::новый(текст).токенизировать();
        auto узлы = parser::Парсер::новый(std::move(*токены)).разобрать_программу();
        benchmark::DoNotOptimize(узлы);
    }
    отчёт(состояние, строк, текст.size());
}
BENCHMARK(ЛексерИПарсер)->Arg(1000)->Arg(10000);

}  // namespace
