// The benchmarks run on a thread of the stack the language server checks on,
// so a check meets the same limit of stack as in the server.
#include <benchmark/benchmark.h>

#include "ast/stack.hpp"

int main(int argc, char** argv) {
    int итог = 0;
    const int код = vokra::ast::выполнить_на_стеке([&] {
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
            итог = 1;
            return;
        }
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    });
    return код != 0 ? 1 : итог;
}
