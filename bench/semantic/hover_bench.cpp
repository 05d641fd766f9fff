// Hover on declarations whose types are written hundreds of levels deep,
// at two sizes, beside the whole check of the generated 10 000-line program
// measured in the same process, round by round (`×10000строк`, an error past
// 6): the request parses the text again and renders every type as source.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <string>

#include "../parser/floor.hpp"
#include "check.hpp"
#include "type_shapes.hpp"
#include "вокра_lsp/features.hpp"

namespace {

using namespace vokra;

constexpr double предел_кратности = 6;

void Подсказка(benchmark::State& состояние, const замер::ФормаПодсказки& форма,
               std::size_t размер) {
    const auto запрос = форма.текст(размер);
    const lsp::Позиция позиция{запрос.строка, запрос.символ};
    if (lsp::ответ_hover(запрос.текст, позиция).is_null()) {
        состояние.SkipWithError("the hover finds no declaration");
        return;
    }
    auto подсказка = [&] {
        auto ответ = lsp::ответ_hover(запрос.текст, позиция);
        benchmark::DoNotOptimize(ответ);
    };
    замер::замерить_с_полом(состояние, запрос.текст, подсказка);
    const double кратность = замер::кратность_программы(подсказка);
    состояние.counters["×10000строк"] = кратность;
    состояние.SetBytesProcessed(состояние.iterations() *
                                static_cast<std::int64_t>(запрос.текст.size()));
    if (кратность > предел_кратности)
        состояние.SkipWithError(
            fmt::format("{:.1f} раза дольше программы в 10 000 строк", кратность).c_str());
}

const bool зарегистрированы = [] {
    for (const auto& форма : замер::формы_подсказок())
        for (const auto размер : {форма.меньший, форма.больший})
            benchmark::RegisterBenchmark(fmt::format("Подсказка/{}/{}", форма.имя, размер).c_str(),
                                         Подсказка, форма, размер)
                ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
