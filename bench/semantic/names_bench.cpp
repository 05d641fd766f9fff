// The whole check of texts built to make lookups by name slow: an unknown
// name of many letters beside a declared one, reads of the last of thousands
// of fields, calls of the last of thousands of contract methods, liveness
// tests among thousands of weak fields, returns of a structure that names
// thousands of contracts, and names chosen against an unkeyed string hash.
// Each at two sizes, reported as a multiple of the UTF-8 pass over the same
// text (`×UTF8`) and of the whole check of the generated 10 000-line program
// measured in the same run (`×10000строк`): a lookup that turns quadratic
// shows as a ratio that grows fourfold from the smaller size to the larger.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "../parser/floor.hpp"
#include "check.hpp"
#include "names_stream.hpp"
#include "parser/parser.hpp"
#include "semantic/analyser.hpp"
#include "texts.hpp"

namespace {

using namespace vokra;
using замер::буквы;
using замер::повторить;

// A declared name of n letters and an unknown one that differs from it in
// the last letter: the suggestion runs the edit distance over both.
std::string длинные_имена(std::size_t n) {
    const std::string имя = буквы("а", n);
    return fmt::format("функция главная()\n    целое {} = 1;\n    вывести({}б);\nконец\n", имя,
                       буквы("а", n - 1));
}

std::string поля(std::size_t n) {
    return fmt::format(
        "структура Большая\n{}конец\n\nфункция читать(Большая б): целое\n    целое с = 0;\n{}"
        "    вернуть с;\nконец\n",
        повторить(n, [](std::size_t i) { return fmt::format("    целое п{};\n", i); }),
        повторить(n, [&](std::size_t) { return fmt::format("    с = б.п{};\n", n - 1); }));
}

std::string методы_контракта(std::size_t n) {
    return fmt::format(
        "контракт Большой\n{}конец\n\nфункция звать(Большой к)\n{}конец\n",
        повторить(n, [](std::size_t i) { return fmt::format("    функция м{}();\n", i); }),
        повторить(n, [&](std::size_t) { return fmt::format("    к.м{}();\n", n - 1); }));
}

std::string слабые_поля(std::size_t n) {
    return fmt::format(
        "структура Узел\n{}конец\n\nфункция проверить(Узел у): верно\n"
        "    верно ж = у.с0.жива();\n{}    вернуть ж;\nконец\n",
        повторить(n, [](std::size_t i) { return fmt::format("    слабая Узел с{};\n", i); }),
        повторить(n, [&](std::size_t) { return fmt::format("    ж = у.с{}.жива();\n", n - 1); }));
}

std::string контракты_структуры(std::size_t n) {
    std::string список;
    for (std::size_t i = 0; i < n; ++i)
        список += fmt::format("{}К{}", i == 0 ? "" : ", ", i);
    return fmt::format(
        "{}структура С : {} {{ }}\n\nфункция отдать(С с, верно флаг): К{}\n{}    вернуть "
        "с;\nконец\n",
        повторить(n, [](std::size_t i) { return fmt::format("контракт К{} {{ }}\n", i); }), список,
        n - 1,
        повторить(n, [](std::size_t) { return std::string("    если (флаг) { вернуть с; }\n"); }));
}

// Names of ten Latin letters whose std::hash<std::string>, folded to 32 bits
// the way the analyser's tables fold it, falls into the first 256 of 32 768
// slots: under that fixed hash every table that holds them keeps them in one
// run of slots, and each lookup walks it.
std::vector<std::string> сталкивающиеся_имена(std::size_t n) {
    return замер::имена_из_потока(n, [](const std::string& имя) {
        const std::uint64_t хеш = std::hash<std::string>{}(имя);
        const auto свёрнутый = static_cast<std::uint32_t>(хеш ^ (хеш >> 32));
        return (свёрнутый & 0x7fff) < 256;
    });
}

std::string сталкивающиеся(std::size_t n) {
    const auto имена = сталкивающиеся_имена(n);
    return fmt::format("функция главная()\n{}конец\n", повторить(n, [&](std::size_t i) {
                           return fmt::format("    целое {} = 1;\n", имена[i]);
                       }));
}

// One benchmark: the whole check of the text at the size of the argument.
// `с_ошибкой` tells that the text is meant to end with a diagnostic.
void замерить(benchmark::State& состояние, std::string (*текст_размера)(std::size_t),
              bool с_ошибкой) {
    const std::string текст = текст_размера(static_cast<std::size_t>(состояние.range(0)));
    if (auto итог = замер::проверить_как_сервер(текст); итог.has_value() == с_ошибкой) {
        состояние.SkipWithError(итог ? "the text passes the check"
                                     : итог.error().сообщение.c_str());
        return;
    }
    auto проверка = [&] { benchmark::DoNotOptimize(замер::проверить_как_сервер(текст)); };
    замер::замерить_с_полом(состояние, текст, проверка);
    состояние.counters["×10000строк"] = замер::кратность_программы(проверка);
    состояние.counters["КБ"] = static_cast<double>(текст.size()) / 1024.0;
}

void ДлинныеИмена(benchmark::State& с) {
    замерить(с, длинные_имена, true);
}
void ПоляСтруктуры(benchmark::State& с) {
    замерить(с, поля, false);
}
void МетодыКонтракта(benchmark::State& с) {
    замерить(с, методы_контракта, false);
}
void СлабыеПоля(benchmark::State& с) {
    замерить(с, слабые_поля, false);
}
void КонтрактыСтруктуры(benchmark::State& с) {
    замерить(с, контракты_структуры, false);
}
void СталкивающиесяИмена(benchmark::State& с) {
    замерить(с, сталкивающиеся, false);
}

BENCHMARK(ДлинныеИмена)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);
BENCHMARK(ПоляСтруктуры)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(МетодыКонтракта)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(СлабыеПоля)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(КонтрактыСтруктуры)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(СталкивающиесяИмена)->Arg(6000)->Arg(24000)->Unit(benchmark::kMillisecond);

}  // namespace
