// The whole check of each generic shape, at two sizes, beside the generated
// 10 000-line program checked in the same process: the counter `×10000строк`
// is the shape's time as a multiple of that program's, and a shape over 6
// of it is reported as an error.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <string>

#include "../parser/floor.hpp"
#include "../parser/program.hpp"
#include "check.hpp"
#include "generic_shapes.hpp"

namespace {

using namespace vokra;

constexpr double предел_кратности = 6;

// Seconds of one whole check of the generated 10 000-line program: the
// median of 9 checks after one that warms the caches, taken once.
double секунд_на_программу() {
    static const double секунд = [] {
        using Часы = std::chrono::steady_clock;
        lsp::настроить_память();
        std::size_t строк = 0;
        const std::string текст = замер::программа(10'000, строк);
        benchmark::DoNotOptimize(замер::проверить(замер::разобрать(текст)));
        std::array<double, 9> замеры{};
        for (double& замер : замеры) {
            const auto начало = Часы::now();
            benchmark::DoNotOptimize(замер::проверить(замер::разобрать(текст)));
            замер = std::chrono::duration<double>(Часы::now() - начало).count();
        }
        std::ranges::nth_element(замеры, замеры.begin() + замеры.size() / 2);
        return замеры[замеры.size() / 2];
    }();
    return секунд;
}

void Форма(benchmark::State& состояние, const замер::ОбобщённаяФорма& форма, std::size_t размер) {
    const double эталон = секунд_на_программу();
    const std::string текст = форма.текст(размер);
    const double секунд = замер::замерить_с_полом(состояние, текст, [&] {
        auto итог = замер::проверить(замер::разобрать(текст));
        benchmark::DoNotOptimize(итог);
    });
    const double кратность = секунд / эталон;
    состояние.counters["×10000строк"] = кратность;
    состояние.SetBytesProcessed(состояние.iterations() * static_cast<std::int64_t>(текст.size()));
    if (кратность > предел_кратности)
        состояние.SkipWithError(
            fmt::format("{:.1f} раза дольше программы в 10 000 строк", кратность).c_str());
}

const bool зарегистрированы = [] {
    for (const auto& форма : замер::обобщённые_формы())
        for (const auto размер : {форма.меньший, форма.больший})
            benchmark::RegisterBenchmark(fmt::format("Обобщения/{}/{}", форма.имя, размер).c_str(),
                                         Форма, форма, размер)
                ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
