#!/usr/bin/env bash
# bench/run.sh: every figure of the README's Performance section, measured on
# this machine. Builds in release mode into build-bench/ (apart from the
# build/ of ./build.sh), then runs the front end's benchmarks, the editor
# round trip, the server's memory and the package manager's install from a
# repository of many tags. Each line printed carries the load
# average (1, 5 and 15 minutes, from /proc/loadavg) at the moment it was
# printed: the figures move with the load, so read them beside it. Needs
# what ./build.sh installs; it is no part of the tests.
#
#   bench/run.sh            everything
#   bench/run.sh REPEATS    the front end's benchmarks with REPEATS repetitions (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=${1:-5}
build=build-bench
jobs=$(($(nproc) > 3 ? 3 : $(nproc)))

# Appends the load average to every line read.
with_load() {
    local line
    while IFS= read -r line; do
        printf '%s   [load %s]\n' "$line" "$(cut -d' ' -f1-3 /proc/loadavg)"
    done
}

section() {
    printf '\n'
    printf '== %s ==\n' "$1" | with_load
}

if [ ! -d tests/вокра_lsp/client/node_modules ]; then
    (cd tests/вокра_lsp/client && npm ci --no-audit --no-fund --loglevel=error)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --parallel "$jobs" \
    --target vokra_lsp semantic_bench productions_bench generated_program vokra_pakety

server=$build/src/bin/вокра_lsp/вокра_lsp
generator=$build/bench/semantic/generated_program

section "front end and the texts built to be slow: medians of $repetitions repetitions (строк/с = lines per second, ×UTF8 = multiple of the decoding pass, ×10000строк = multiple of the 10 000-line check)"
"$build/bench/semantic/semantic_bench" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    | grep -E '^(Benchmark|-+$|.*_median)' | with_load

section "editor round trip, didChange to publishDiagnostics"
node bench/semantic/didchange.js "$server" "$generator" | with_load

section "memory of the server"
node bench/semantic/memory.js "$server" "$generator" | with_load

# Each production measures its own rounds: one run, without repetitions.
productions=$build/bench/semantic/productions_bench
section "every production of the grammar at two sizes, checked and hovered, completed and looked up as the server does (×10000строк at the larger size, меньший at the smaller, показатель = growth exponent; an error past 6 or 1.3)"
"$productions" | with_load

section "memory of the server for every production of the grammar at its larger size"
node bench/semantic/productions_memory.js "$server" "$generator" "$productions" | with_load

section "package manager: a repository of 100 000 tags, against its own git ls-remote"
bench/packages/many_tags.sh "$build/src/bin/вокра_пакеты/вокра_пакеты" | with_load
