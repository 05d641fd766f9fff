#include "вокра_lsp/protocol.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "вокра_lsp/diagnostics.hpp"
#include "вокра_lsp/jsonrpc.hpp"

namespace vokra::lsp {
namespace {

using json = nlohmann::json;

TEST(Сообщения, Классификация) {
    enum Вид { запрос, ответ, уведомление, пропуск };
    const std::pair<const char*, Вид> случаи[] = {
        {R"({"jsonrpc":"2.0","id":1,"method":"a","params":{}})", запрос},
        {R"({"id":"x","method":"a"})", запрос},
        {R"({"id":-3,"method":"a"})", запрос},
        {R"({"method":"a"})", уведомление},
        {R"({"id":1,"result":null})", ответ},
        {R"({"id":1,"error":{"code":1,"message":""}})", ответ},
        {R"({"id":1.5,"method":"a"})", пропуск},
        {R"({"id":null,"method":"a"})", пропуск},
        {R"({"id":true,"method":"a"})", пропуск},
        {R"({"method":3})", пропуск},
        {R"({})", пропуск},
        {R"([1])", пропуск},
        {"не json", пропуск},
        {"", пропуск},
        {"{\"method\":\"\xFF\"}", пропуск},
    };
    for (const auto& [тело, вид] : случаи) {
        const auto сообщение = разобрать_сообщение(тело);
        EXPECT_EQ(сообщение ? static_cast<Вид>(сообщение->index()) : пропуск, вид) << тело;
    }
}

TEST(Сообщения, IdВозвращаетсяКакПришёл) {
    for (const char* id : {"\"абв\"", "-7", "0", "9223372036854775807", "18446744073709551615"}) {
        const auto сообщение = разобрать_сообщение(fmt::format(R"({{"id":{},"method":"a"}})", id));
        ASSERT_TRUE(сообщение) << id;
        EXPECT_EQ(в_тело(ответ_с_результатом(std::get<Запрос>(*сообщение).id, nullptr)),
                  fmt::format(R"({{"id":{},"jsonrpc":"2.0","result":null}})", id));
    }
}

TEST(Протокол, ЦелыеПроверяютсяПоДиапазону) {
    const std::pair<const char*, bool> случаи[] = {
        {R"({"line":0,"character":4294967295})", true},  {R"({"line":-1,"character":0})", false},
        {R"({"line":4294967296,"character":0})", false}, {R"({"line":1.0,"character":0})", false},
        {R"({"line":"1","character":0})", false},        {R"({"line":1})", false},
    };
    for (const auto& [текст, верно] : случаи)
        EXPECT_EQ(позиция_из_json(json::parse(текст)).has_value(), верно) << текст;

    const auto открытие = [](const char* версия) {
        return параметры_открытия_из_json(json::parse(fmt::format(
            R"({{"textDocument":{{"uri":"file:///a","languageId":"v","version":{},"text":""}}}})",
            версия)));
    };
    EXPECT_TRUE(открытие("-2147483648"));
    EXPECT_FALSE(открытие("2147483648"));
    EXPECT_FALSE(открытие("-2147483649"));
    EXPECT_EQ(открытие("null").error(),
              "«textDocument»: «version»: ожидалось целое число от -2147483648 до 2147483647");
}

TEST(Протокол, ПараметрыДокументов) {
    const auto изменение = параметры_изменения_из_json(json::parse(
        R"({"textDocument":{"uri":"FILE:///%D0%B0 б","version":3},
            "contentChanges":[{"text":"x"},{"range":{"start":{"line":0,"character":0},
            "end":{"line":0,"character":1}},"rangeLength":1,"text":"y"}]})"));
    ASSERT_TRUE(изменение) << изменение.error();
    EXPECT_EQ(изменение->uri, "file:///%D0%B0%20%D0%B1");
    EXPECT_EQ(изменение->версия, 3);
    ASSERT_EQ(изменение->изменения.size(), 2u);
    EXPECT_EQ(изменение->изменения[1].текст, "y");
    EXPECT_EQ(изменение->изменения[1].диапазон, (Диапазон{{0, 0}, {0, 1}}));

    for (const char* текст : {
             R"({"textDocument":{"uri":"file:///a"},"contentChanges":[]})",
             R"({"textDocument":{"uri":"file:///a","version":1},"contentChanges":[{}]})",
             R"({"textDocument":{"uri":"file:///a","version":1},"contentChanges":{}})",
             R"({"textDocument":{"uri":"a b","version":1},"contentChanges":[]})",
         })
        EXPECT_FALSE(параметры_изменения_из_json(json::parse(текст))) << текст;

    EXPECT_FALSE(параметры_инициализации_из_json(json::parse(R"({"processId":1})")));
    EXPECT_FALSE(
        параметры_инициализации_из_json(json::parse(R"({"processId":-1,"capabilities":{}})")));
    EXPECT_TRUE(параметры_инициализации_из_json(json::parse(
        R"({"processId":null,"rootUri":null,"capabilities":{},"clientInfo":{"name":"x"}})")));
}

TEST(Протокол, ВозможностиИДиагностики) {
    EXPECT_EQ(
        в_тело(возможности_сервера()),
        R"({"completionProvider":{},"definitionProvider":true,"hoverProvider":true,"textDocumentSync":1})");
    EXPECT_EQ(
        в_тело(в_json(ПараметрыПубликации{"file:///a", {диагностика_с_позицией(3, 7, "м")}})),
        R"({"diagnostics":[{"message":"м","range":{"end":{"character":7,"line":2},)"
        R"("start":{"character":6,"line":2}},"severity":1,"source":"Вокра"}],"uri":"file:///a"})");
    EXPECT_EQ(диагностика_с_позицией(0, 0, "").диапазон, (Диапазон{{0, 0}, {0, 1}}));
}

TEST(Диагностики, ПерваяОшибкаЛексера) {
    EXPECT_EQ(первая_ошибка(""), std::nullopt);
    EXPECT_EQ(первая_ошибка("функция главная()\nконец\n"), std::nullopt);
    const auto ошибка = первая_ошибка("а\nб\nвывод(\"x");
    ASSERT_TRUE(ошибка);
    EXPECT_EQ(ошибка->диапазон, (Диапазон{{2, 6}, {2, 7}}));
    EXPECT_EQ(ошибка->сообщение, "незакрытый текстовый литерал");
}

// A long message keeps its start up to the bound, whole characters only, and
// ends with "…"; so does an analyser's message that quotes a long name.
TEST(Диагностики, СообщениеВПределе) {
    std::string имя;
    for (std::size_t i = 0; i < предел_сообщения; ++i)
        имя += "ы";
    const auto ошибка = первая_ошибка(fmt::format("функция главная() {{ вывести({}); }}", имя));
    ASSERT_TRUE(ошибка);
    const std::string_view многоточие = "…";
    struct Случай {
        std::string сообщение;
        std::size_t длина;
    };
    const Случай случаи[] = {
        {std::string(предел_сообщения, 'a'), предел_сообщения},
        {std::string(предел_сообщения + 1, 'a'), предел_сообщения},
        {имя, предел_сообщения - 1},
    };
    for (const auto& [сообщение, длина] : случаи) {
        const auto итог = диагностика_с_позицией(1, 1, сообщение).сообщение;
        ASSERT_EQ(итог.size(), длина);
        if (сообщение.size() > длина) {
            EXPECT_EQ(итог, fmt::format("{}{}", сообщение.substr(0, длина - многоточие.size()),
                                        многоточие));
        }
    }
    EXPECT_EQ(ошибка->сообщение,
              диагностика_с_позицией(1, 1, "[без точной позиции] переменная '" + имя).сообщение);
}

}  // namespace
}  // namespace vokra::lsp
