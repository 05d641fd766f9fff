// The server's work on each message shape, at two sizes, as it handles a
// message from the client: the body decoded as the reader decodes it, then
// the message handled as the main loop handles it, its answer queued for
// the writer. Beside it, round by round, the whole check of the generated
// 10 000-line program: `×10000строк` is the shape's time as a multiple of
// it, and a shape over 6 of it is reported as an error.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <memory>
#include <string>

#include "../parser/floor.hpp"
#include "check.hpp"
#include "message_shapes.hpp"
#include "вокра_lsp/server.hpp"

namespace {

using namespace vokra;

constexpr double предел_кратности = 6;

void Сообщение(benchmark::State& состояние, const замер::ФормаСообщения& форма,
               std::size_t размер) {
    const std::string тело = форма.тело(размер);
    const lsp::Отправитель отправитель{std::make_shared<lsp::Канал<std::string>>(),
                                       std::make_shared<lsp::ИтогПисателя>()};
    lsp::Документы документы;
    auto обработка = [&] {
        auto сообщение = lsp::разобрать_сообщение(тело);
        if (!сообщение) {
            состояние.SkipWithError("the body is not a message");
            return;
        }
        benchmark::DoNotOptimize(lsp::обработать_сообщение(отправитель, документы, *сообщение));
        if (отправитель.канал->очередь.empty() && сообщение->index() == 0)
            состояние.SkipWithError("the request was not answered");
        отправитель.канал->очередь.clear();
    };
    замер::замерить_с_полом(состояние, тело, обработка);
    const double кратность = замер::кратность_программы(обработка);
    состояние.counters["×10000строк"] = кратность;
    состояние.SetBytesProcessed(состояние.iterations() * static_cast<std::int64_t>(тело.size()));
    if (кратность > предел_кратности)
        состояние.SkipWithError(
            fmt::format("{:.1f} раза дольше программы в 10 000 строк", кратность).c_str());
}

const bool зарегистрированы = [] {
    for (const auto& форма : замер::формы_сообщений())
        for (const auto размер : {форма.меньший, форма.больший})
            benchmark::RegisterBenchmark(fmt::format("Сообщения/{}/{}", форма.имя, размер).c_str(),
                                         Сообщение, форма, размер)
                ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
