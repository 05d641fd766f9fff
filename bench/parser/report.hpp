// The counters every front-end benchmark reports: lines per second of the
// source text (`строк/с`) and its bytes per second.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

namespace vokra::замер {

inline void отчёт(benchmark::State& состояние, std::size_t строк, std::size_t байт) {
    состояние.counters["строк/с"] =
        benchmark::Counter(static_cast<double>(строк) * static_cast<double>(состояние.iterations()),
                           benchmark::Counter::kIsRate);
    состояние.SetBytesProcessed(состояние.iterations() * static_cast<std::int64_t>(байт));
}

}  // namespace vokra::замер
