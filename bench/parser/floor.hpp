// The floor of the front-end benchmarks: one pass that decodes a text's
// UTF-8 into code points and does nothing else. Every benchmark over a text
// also reports its time as a multiple of that pass over the same text
// (counter `×UTF8`), measured in the same process just before its own loop,
// so the figure means the same on any machine and under any load.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>

#include "unicode/unicode.hpp"
#include "вокра_lsp/memory.hpp"

namespace vokra::замер {

inline char32_t декодировать_проходом(std::string_view текст) {
    char32_t сумма = 0;
    for (std::size_t i = 0; i < текст.size();) {
        const auto прочитанный = unicode::прочитать_символ(текст, i);
        сумма += прочитанный.символ;
        i += прочитанный.байтов;
    }
    return сумма;
}

// Seconds one decoding pass takes: the median of 15 windows of at least
// 2 ms, each the mean of its passes, after one pass that warms the caches.
inline double секунд_на_проход(std::string_view текст) {
    using Часы = std::chrono::steady_clock;
    benchmark::DoNotOptimize(декодировать_проходом(текст));
    std::array<double, 15> окна{};
    for (double& окно : окна) {
        const auto начало = Часы::now();
        std::size_t проходов = 0;
        do {
            benchmark::DoNotOptimize(декодировать_проходом(текст));
            ++проходов;
        } while (Часы::now() - начало < std::chrono::milliseconds(2));
        окно = std::chrono::duration<double>(Часы::now() - начало).count() /
               static_cast<double>(проходов);
    }
    std::ranges::nth_element(окна, окна.begin() + окна.size() / 2);
    return окна[окна.size() / 2];
}

// Runs the benchmark's loop, `шаг` once per iteration, and sets `×UTF8`;
// gives the seconds of one iteration.
template <class Шаг>
double замерить_с_полом(benchmark::State& состояние, std::string_view текст, Шаг шаг) {
    using Часы = std::chrono::steady_clock;
    // As the language server runs its checks.
    lsp::настроить_память();
    const double пол = секунд_на_проход(текст);
    const auto начало = Часы::now();
    for (auto _ : состояние)
        шаг();
    const double секунд = std::chrono::duration<double>(Часы::now() - начало).count();
    const double на_итерацию = секунд / static_cast<double>(std::max<benchmark::IterationCount>(
                                            состояние.iterations(), 1));
    состояние.counters["×UTF8"] = на_итерацию / пол;
    return на_итерацию;
}

}  // namespace vokra::замер
