// The whole check of each generic shape and each syntax shape, at two
// sizes, beside the generated 10 000-line program checked in the same
// process, round by round: the counter `×10000строк` is the shape's time as
// a multiple of that program's, and a shape over 6 of it is reported as an
// error.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <string>

#include "../parser/floor.hpp"
#include "check.hpp"
#include "front_shapes.hpp"
#include "generic_shapes.hpp"
#include "type_shapes.hpp"

namespace {

using namespace vokra;

constexpr double предел_кратности = 6;

void Форма(benchmark::State& состояние, const замер::ОбобщённаяФорма& форма, std::size_t размер) {
    const std::string текст = форма.текст(размер);
    auto проверка = [&] {
        auto итог = замер::проверить_как_сервер(текст);
        benchmark::DoNotOptimize(итог);
    };
    замер::замерить_с_полом(состояние, текст, проверка);
    const double кратность = замер::кратность_программы(проверка);
    состояние.counters["×10000строк"] = кратность;
    состояние.SetBytesProcessed(состояние.iterations() * static_cast<std::int64_t>(текст.size()));
    if (кратность > предел_кратности)
        состояние.SkipWithError(
            fmt::format("{:.1f} раза дольше программы в 10 000 строк", кратность).c_str());
}

void зарегистрировать(std::string_view семейство, std::span<const замер::ОбобщённаяФорма> формы) {
    for (const auto& форма : формы)
        for (const auto размер : {форма.меньший, форма.больший})
            benchmark::RegisterBenchmark(
                fmt::format("{}/{}/{}", семейство, форма.имя, размер).c_str(), Форма, форма, размер)
                ->Unit(benchmark::kMillisecond);
}

const bool зарегистрированы = [] {
    зарегистрировать("Обобщения", замер::обобщённые_формы());
    зарегистрировать("Разбор", замер::формы_разбора());
    зарегистрировать("Вложенные", замер::вложенные_формы());
    зарегистрировать("Типы", замер::формы_типов());
    return true;
}();

}  // namespace
