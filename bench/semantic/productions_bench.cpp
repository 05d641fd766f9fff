// Every production of the grammar (productions.hpp) at its two sizes, through
// the server's own handlers as its main loop calls them, on a thread with the
// server's stack: the check of a document as an open or a change makes it
// (`проверка`), and a hover, a completion and a definition at the place deep
// in the construct (`наведение`, `дополнение`, `определение`). Each is timed
// as a multiple of the server's check of the generated 10 000-line program,
// round by round (`×10000строк` at the larger size, `меньший` at the smaller),
// and its growth is the exponent log(t2/t1)/log(n2/n1) over the texts' bytes
// (`показатель`). Past 6 times the program, or an exponent above 1.3, is an
// error. The label names the diagnostic of a larger text that does not pass,
// and an answer that is null.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "check.hpp"
#include "productions.hpp"
#include "вокра_lsp/diagnostics.hpp"
#include "вокра_lsp/documents.hpp"
#include "вокра_lsp/memory.hpp"
#include "вокра_lsp/requests.hpp"
#include "вокра_lsp/transport.hpp"
#include "вокра_lsp/worker.hpp"

namespace {

using namespace vokra;

constexpr double предел_кратности = 6;
constexpr double предел_показателя = 1.3;
// A text this many times past the goal after one round is measured no
// further: more rounds cannot bring it within the goal.
constexpr double далеко_за_пределом = 4 * предел_кратности;
constexpr std::size_t раундов = 9;

struct ВидЗапроса {
    std::string_view имя;
    // The request's method; none for the check.
    std::string_view метод;
};

constexpr std::array<ВидЗапроса, 4> запросы{{
    {"проверка", ""},
    {"наведение", "textDocument/hover"},
    {"дополнение", "textDocument/completion"},
    {"определение", "textDocument/definition"},
}};

// The server's state for the messages about the documents: the store, and a
// sender whose channel nothing writes out; each answer is taken off it as
// soon as it is sent.
struct Сервер {
    lsp::Документы документы;
    lsp::Отправитель отправитель{std::make_shared<lsp::Канал<std::string>>(),
                                 std::make_shared<const lsp::ИтогПисателя>()};

    std::string последний_ответ() {
        std::string ответ;
        auto& очередь = отправитель.канал->очередь;
        while (!очередь.empty()) {
            ответ = std::move(очередь.front());
            очередь.pop_front();
        }
        return ответ;
    }

    // What the server does for one message about the document `uri`.
    std::string ответить(const ВидЗапроса& запрос, const std::string& uri,
                         const замер::Образец& образец) {
        const std::string& текст = документы.at(uri);
        if (запрос.метод.empty()) {
            // As the main loop stores and checks a document's new text.
            lsp::вернуть_память_после(текст.size());
            benchmark::DoNotOptimize(
                lsp::проверить_и_отправить_диагностики(отправитель, uri, текст));
            lsp::вернуть_память_после(текст.size());
        } else {
            const auto место = замер::место_в_протоколе(образец);
            const lsp::Запрос сообщение{
                1,
                std::string(запрос.метод),
                {{"textDocument", {{"uri", uri}}},
                 {"position", {{"line", место.строка}, {"character", место.символ}}}}};
            benchmark::DoNotOptimize(lsp::обработать_запрос(отправитель, документы, сообщение));
        }
        return последний_ответ();
    }
};

struct Итоги {
    double меньший = 0, больший = 0, показатель = 0, секунд = 0;
    std::size_t байт = 0;
    std::string метка;
    std::string ошибка;
};

// What the label says of an answer: the diagnostic of a check, or that a
// request's result is null.
std::string метка(const ВидЗапроса& запрос, const std::string& ответ) {
    const auto сообщение = nlohmann::json::parse(ответ);
    if (!запрос.метод.empty())
        return сообщение["result"].is_null() ? "ответ null" : "";
    const auto& диагностики = сообщение["params"]["diagnostics"];
    if (диагностики.empty())
        return "";
    // The start of the message, cut at the start of a character.
    auto начало = диагностики[0]["message"].get<std::string>();
    std::size_t длина = std::min<std::size_t>(начало.size(), 120);
    while (длина < начало.size() && (static_cast<unsigned char>(начало[длина]) & 0xC0) == 0x80)
        --длина;
    начало.resize(длина);
    return "не проходит: " + начало;
}

Итоги замерить(const замер::Производство& производство, const ВидЗапроса& запрос) {
    Итоги итоги;
    const замер::Образец малый = производство.образец(производство.меньший);
    const замер::Образец большой = производство.образец(производство.больший);
    итоги.байт = большой.текст.size();
    if (итоги.байт > замер::наибольший_текст) {
        итоги.ошибка = fmt::format("the text is {} bytes, more than 1 MB", итоги.байт);
        return итоги;
    }
    lsp::настроить_память();
    Сервер сервер;
    const std::string uri_малого = "file:///tmp/small.kod", uri_большого = "file:///tmp/large.kod";
    сервер.документы[uri_малого] = малый.текст;
    сервер.документы[uri_большого] = большой.текст;

    // The answer of the last run, for the label.
    std::string ответ;
    const std::function<void()> малого = [&] {
        ответ = сервер.ответить(запрос, uri_малого, малый);
    };
    const std::function<void()> большого = [&] {
        ответ = сервер.ответить(запрос, uri_большого, большой);
    };
    // One round first: a text far past the goal at the smaller size is not
    // checked at the larger, and one far past it at the larger not again.
    auto кратности = замер::кратности_программы<2>({малого, [] {}}, 1, false);
    if (кратности.шагов[0] > далеко_за_пределом) {
        итоги.меньший = кратности.шагов[0];
        итоги.больший = итоги.показатель = std::nan("");
        итоги.ошибка = fmt::format("{:.1f} раза дольше программы в 10 000 строк уже при меньшем",
                                   итоги.меньший);
        итоги.метка = метка(запрос, ответ);
        return итоги;
    }
    кратности.шагов[1] = замер::кратности_программы<1>({большого}, 1, false).шагов[0];
    if (кратности.шагов[1] < далеко_за_пределом)
        кратности = замер::кратности_программы<2>({малого, большого}, раундов, false);
    итоги.метка = метка(запрос, ответ);
    итоги.меньший = кратности.шагов[0];
    итоги.больший = кратности.шагов[1];
    итоги.секунд = итоги.больший * кратности.секунд_программы;
    итоги.показатель = std::log(итоги.больший / итоги.меньший) /
                       std::log(static_cast<double>(большой.текст.size()) /
                                static_cast<double>(малый.текст.size()));
    if (итоги.больший > предел_кратности || итоги.показатель > предел_показателя)
        итоги.ошибка = fmt::format("{:.1f} раза дольше программы в 10 000 строк, показатель {:.2f}",
                                   итоги.больший, итоги.показатель);
    return итоги;
}

void Замер(benchmark::State& состояние, const замер::Производство& производство,
           const ВидЗапроса& запрос) {
    Итоги итоги;
    // On a thread of the server's stack, as the server runs its work.
    if (auto запуск =
            lsp::выполнить_на_большом_стеке([&] { итоги = замерить(производство, запрос); });
        !запуск) {
        состояние.SkipWithError("the thread of the check did not start");
        return;
    }
    for (auto _ : состояние)
        состояние.SetIterationTime(итоги.секунд);
    состояние.counters["×10000строк"] = итоги.больший;
    состояние.counters["меньший"] = итоги.меньший;
    состояние.counters["показатель"] = итоги.показатель;
    состояние.counters["КБ"] = static_cast<double>(итоги.байт) / 1024.0;
    состояние.SetLabel(итоги.метка);
    if (!итоги.ошибка.empty())
        состояние.SkipWithError(итоги.ошибка.c_str());
}

const bool зарегистрированы = [] {
    for (const auto& производство : замер::производства())
        for (const auto& запрос : запросы)
            benchmark::RegisterBenchmark(
                fmt::format("Грамматика/{}/{}", производство.имя, запрос.имя).c_str(), Замер,
                производство, запрос)
                ->UseManualTime()
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
