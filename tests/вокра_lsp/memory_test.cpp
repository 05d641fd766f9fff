// A check that runs out of memory. Every allocation of this test program
// goes through the operator new below, so a test can make the one it names
// fail as an exhausted heap would.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "вокра_lsp/diagnostics.hpp"
#include "вокра_lsp/server.hpp"
#include "вокра_lsp/transport.hpp"

namespace {

// Allocations still granted on this thread before one fails; none fails
// while it is at its largest.
constexpr std::size_t не_отказывать = std::numeric_limits<std::size_t>::max();
thread_local std::size_t до_отказа = не_отказывать;

// The failing allocation is the first one from this size on. Destroying a
// JSON value, nlohmann moves its children onto a vector of their own, inside
// a destructor that cannot fail; the values the server destroys are small
// (their long arrays are emptied element by element first), so where JSON
// is built, blocks of up to sixteen values are always granted.
thread_local std::size_t наименьший_отказ = 0;
constexpr std::size_t блок_разрушения_json = 16 * sizeof(nlohmann::json);

}  // namespace

void* operator new(std::size_t байтов) {
    if (до_отказа != не_отказывать) {
        if (до_отказа > 0) {
            --до_отказа;
        } else if (байтов >= наименьший_отказ) {
            до_отказа = не_отказывать;
            throw std::bad_alloc();
        }
    }
    if (void* память = std::malloc(байтов == 0 ? 1 : байтов))
        return память;
    throw std::bad_alloc();
}

// Not inlined: the compiler would take a free() that it sees beside a new
// for a mismatched pair.
[[gnu::noinline]] void operator delete(void* память) noexcept {
    std::free(память);
}

[[gnu::noinline]] void operator delete(void* память, std::size_t) noexcept {
    std::free(память);
}

namespace vokra::lsp {
namespace {

constexpr std::string_view текст = R"(структура Пара<А, Б> { А а; Б б; }
функция первый<Т>(Т х): Т { вернуть х; }
функция главная() {
    Пара<целое, текст> п = Пара<целое, текст>(1, "один");
    целое ч = первый<целое>(п.а);
    вывести(ч);
}
)";

// Every allocation of the check fails in turn: the check gives the diagnostic
// that says so, or its own result where the failure was absorbed (a vector
// that could not shrink), and the next check runs as before.
TEST(НехваткаПамяти, ПроверкаКончаетсяДиагностикой) {
    ASSERT_EQ(первая_ошибка(текст), std::nullopt);
    до_отказа = не_отказывать - 1;
    первая_ошибка(текст);
    const std::size_t выделений = не_отказывать - 1 - до_отказа;
    до_отказа = не_отказывать;
    ASSERT_GT(выделений, 100u);

    const auto нехватка = диагностика_с_позицией(1, 1, "документ не проверен: не хватило памяти");
    std::size_t отказов = 0;
    for (std::size_t номер = 0; номер < выделений; ++номер) {
        до_отказа = номер;
        const auto итог = первая_ошибка(текст);
        до_отказа = не_отказывать;
        отказов += итог == нехватка;
        EXPECT_TRUE(итог == нехватка || итог == std::nullopt) << номер;
    }
    EXPECT_GT(отказов, выделений / 2);
    EXPECT_EQ(первая_ошибка(текст), std::nullopt);

    // Published as the document's one diagnostic.
    const Отправитель отправитель{std::make_shared<Канал<std::string>>(),
                                  std::make_shared<ИтогПисателя>()};
    до_отказа = выделений / 2;
    ASSERT_TRUE(проверить_и_отправить_диагностики(отправитель, "file:///a", текст));
    до_отказа = не_отказывать;
    ASSERT_EQ(отправитель.канал->очередь.size(), 1u);
    const auto диагностики =
        nlohmann::json::parse(отправитель.канал->очередь.front())["params"]["diagnostics"];
    ASSERT_EQ(диагностики.size(), 1u);
    EXPECT_EQ(диагностики[0]["message"], нехватка.сообщение);
}

std::string кадр(std::string_view тело) {
    return fmt::format("Content-Length: {}\r\n\r\n{}", тело.size(), тело);
}

// The text above, made longer than one chunk of the reader.
std::string длинный_текст() {
    return std::string(текст) + "// " + std::string(100'000, 'x');
}

// While it lives, blocks of JSON's destruction are always granted.
struct ОтказыКрупных {
    ОтказыКрупных() { наименьший_отказ = блок_разрушения_json + 1; }
    ~ОтказыКрупных() { наименьший_отказ = 0; }
    ОтказыКрупных(const ОтказыКрупных&) = delete;
};

// The allocations that `работа` makes on this thread.
template <class Работа>
std::size_t выделений(Работа работа) {
    до_отказа = не_отказывать - 1;
    работа();
    const std::size_t сделано = не_отказывать - 1 - до_отказа;
    до_отказа = не_отказывать;
    return сделано;
}

// An address long enough for its copies to be allocations that may fail.
const std::string адрес = "file:///" + std::string(300, 'a');

// Every allocation of reading and decoding a message fails in turn: the
// reader gives the message, or what its start names (its id, method and
// document), and reads the next message as usual. A document's text, a
// request, and a body that needs repair and nlohmann's reading, each after
// a large body, past which the reader's parser is built afresh.
TEST(НехваткаПамяти, ЧтениеИРазборСообщения) {
    const ОтказыКрупных отказы;
    const std::string тела[] = {
        R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":)"
        R"({"uri":")" +
            адрес + R"(","languageId":"v","version":1,"text":)" +
            nlohmann::json(длинный_текст()).dump() + "}}}",
        R"({"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":{"textDocument":)"
        R"({"uri":")" +
            адрес + R"("},"position":{"line":2,"character":12}}})",
        R"({"method":"textDocument/didChange","params":{"textDocument":{"uri":")" + адрес +
            R"(","version":2},"contentChanges":[{"text":"\ud800"}]},)"
            R"("x":[100000000000000000000]})",
    };
    const std::string перед = кадр(тела[0]);
    const std::string следующее = кадр(R"({"id":9,"method":"x"})");
    const auto прочитать = [](std::istringstream& вход) {
        auto прочитанное = прочитать_сообщение(вход);
        auto* сообщение = std::get_if<std::optional<Сообщение>>(&прочитанное);
        return сообщение != nullptr ? std::move(*сообщение) : std::optional<Сообщение>{};
    };
    for (const auto& тело : тела) {
        const std::string байты = перед + кадр(тело) + следующее;
        std::istringstream образец_входа(байты);
        прочитать(образец_входа);
        const auto образец = прочитать(образец_входа);
        ASSERT_TRUE(образец) << тело.substr(0, 80);
        std::size_t выделено = 0;
        {
            std::istringstream вход(байты);
            прочитать(вход);
            выделено = выделений([&] { прочитать(вход); });
        }
        ASSERT_GT(выделено, 3u);
        std::size_t без_памяти = 0;
        for (std::size_t номер = 0; номер < выделено; ++номер) {
            std::istringstream вход(байты);
            прочитать(вход);
            до_отказа = номер;
            const auto сообщение = прочитать(вход);
            до_отказа = не_отказывать;
            ASSERT_TRUE(сообщение) << номер;
            EXPECT_EQ(описание(*сообщение), описание(*образец)) << номер;
            if (const auto* б = std::get_if<БезПамяти>(&*сообщение)) {
                ++без_памяти;
                const auto* запрос = std::get_if<Запрос>(&*образец);
                EXPECT_EQ(б->id, запрос ? std::optional(запрос->id) : std::nullopt) << номер;
                EXPECT_EQ(б->параметры["textDocument"]["uri"], адрес) << номер;
            } else {
                EXPECT_EQ(сообщение->index(), образец->index()) << номер;
            }
            const auto дальше = прочитать(вход);
            ASSERT_TRUE(дальше && std::holds_alternative<Запрос>(*дальше)) << номер;
            EXPECT_EQ(std::get<Запрос>(*дальше).id, 9) << номер;
        }
        EXPECT_GT(без_памяти, 0u);
    }
}

// Every allocation of handling a message fails in turn: a request gets its
// answer or the memory error; a document gets its diagnostics or the memory
// diagnostic, and its entry holds the new text only where the check ran on
// it. The next message is answered as usual.
TEST(НехваткаПамяти, ОбработкаСообщения) {
    const ОтказыКрупных отказы;
    const Отправитель отправитель{std::make_shared<Канал<std::string>>(),
                                  std::make_shared<ИтогПисателя>()};
    auto& очередь = отправитель.канал->очередь;
    const auto открытие = [] {
        return Сообщение{Уведомление{
            "textDocument/didOpen",
            {{"textDocument",
              {{"uri", адрес}, {"languageId", "v"}, {"version", 1}, {"text", длинный_текст()}}}}}};
    };
    const auto наведение = [](int id) {
        return Сообщение{Запрос{
            id,
            "textDocument/hover",
            {{"textDocument", {{"uri", адрес}}}, {"position", {{"line", 2}, {"character", 12}}}}}};
    };
    const auto нехватка = nlohmann::json::parse(
        в_тело(в_json(ПараметрыПубликации{адрес, {диагностика_нехватки_памяти()}})));
    for (const bool документ : {true, false}) {
        const auto сообщение_случая = [&] { return документ ? открытие() : наведение(7); };
        // The store holds the text before the message, as after its didOpen.
        const auto с_документом = [&] {
            Документы документы;
            auto с_текстом = открытие();
            EXPECT_TRUE(обработать_сообщение(отправитель, документы, с_текстом));
            очередь.clear();
            return документы;
        };
        auto документы = с_документом();
        const auto выделено = выделений([&] {
            auto сообщение = сообщение_случая();
            обработать_сообщение(отправитель, документы, сообщение);
        });
        очередь.clear();
        ASSERT_GT(выделено, 100u);
        for (std::size_t номер = 0; номер < выделено; ++номер) {
            документы = с_документом();
            auto сообщение = сообщение_случая();
            до_отказа = номер;
            ASSERT_TRUE(обработать_сообщение(отправитель, документы, сообщение));
            до_отказа = не_отказывать;
            ASSERT_EQ(очередь.size(), 1u) << номер;
            const auto ответ = nlohmann::json::parse(очередь.front());
            if (документ) {
                const bool проверен = ответ["params"]["diagnostics"].empty();
                EXPECT_TRUE(проверен || ответ["params"] == нехватка) << номер;
                EXPECT_TRUE(!проверен || документы.contains(адрес)) << номер;
            } else {
                EXPECT_TRUE(ответ.contains("result") || ответ["error"]["code"] == -32603) << номер;
                EXPECT_EQ(ответ["id"], 7) << номер;
            }
            очередь.clear();
            auto ещё = наведение(8);
            ASSERT_TRUE(обработать_сообщение(отправитель, документы, ещё));
            ASSERT_EQ(очередь.size(), 1u);
            EXPECT_TRUE(nlohmann::json::parse(очередь.front()).contains("result")) << номер;
            очередь.clear();
        }
    }
}

}  // namespace
}  // namespace vokra::lsp
