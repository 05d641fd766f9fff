// Expression parsing alone: a long list of typical expressions, lexed once
// outside the timed loop, parsed by a new parser each iteration.
#include <benchmark/benchmark.h>

#include <string>

#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace {

using namespace vokra;

std::string выражения(std::size_t сколько) {
    static const char* const образцы[] = {
        "a + b * c - d / 2",
        "точка.x * точка.x + точка.y * точка.y",
        "список.длина() > 0 и не пусто(список)",
        "f(x, y + 1, \"текст\")",
        "массив(1, 2, 3)",
        "(a + b) * (c - d) % 7",
        "значения(i) == значения(j - 1)",
        "Обобщённая<целое>(x, 2.5)",
        "узел.следующий?.значение",
        "\"Сумма: ${a + b} руб.\"",
        "a & маска | сдвиг << 2",
        "-x + ~y",
    };
    std::string текст = "[";
    for (std::size_t i = 0; i < сколько; ++i) {
        if (i > 0)
            текст += ",\n";
        текст += образцы[i % std::size(образцы)];
    }
    текст += "]";
    return текст;
}

void РазборВыражений(benchmark::State& состояние) {
    const std::string текст = выражения(static_cast<std::size_t>(состояние.range(0)));
    const auto токены = *Лексер::новый(текст).токенизировать();
    for (auto _ : состояние) {
        auto парсер = parser::Парсер::новый(токены);
        auto выражение = парсер.разобрать_выражение();
        benchmark::DoNotOptimize(выражение);
    }
    состояние.SetItemsProcessed(состояние.iterations() * состояние.range(0));
    состояние.SetBytesProcessed(состояние.iterations() * static_cast<std::int64_t>(текст.size()));
}
BENCHMARK(РазборВыражений)->Arg(1000)->Arg(10000);

}  // namespace
