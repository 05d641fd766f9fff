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
        {"{\"method\":\"\xFF\"}", уведомление},
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

// A byte that is not UTF-8 and a lone surrogate escape read as U+FFFD,
// wherever they stand, also where simdjson refuses another part of the body
// (an integer past 64 bits) and nlohmann reads it; the rest of the text is as
// written.
TEST(Сообщения, НеUTF8ИОдинокиеСуррогатыКакFFFD) {
    const std::pair<std::string, std::string> случаи[] = {
        {R"(\ud800)", "\uFFFD"},
        {R"(\uDC00x)", "\uFFFDx"},
        {R"(\ud800\udc00)", "\U00010000"},
        {R"(\ud800\u0041)", "\uFFFDA"},
        {R"(\ud800\ud800\udc00)", "\uFFFD\U00010000"},
        {R"(\\ud800)", R"(\ud800)"},
        {R"(\"\ud800)", "\"\uFFFD"},
        {"\xFF", "\uFFFD"},
        {"\xD0"
         "a\xD0\xB6",
         "\uFFFDaж"},
        {"\xF0\x9F\x98", "\uFFFD\uFFFD\uFFFD"},
        {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},
        {"\xEF\xBF\xBD", "\uFFFD"},
    };
    for (const auto& [запись, текст] : случаи) {
        for (const char* ещё : {"", R"(,"x":[100000000000000000000])"}) {
            auto сообщение = разобрать_сообщение(
                fmt::format("{{\"method\":\"textDocument/didOpen\",\"params\":{{\"textDocument\":{{"
                            "\"uri\":\"file:///\xFF\","
                            R"("languageId":"v","version":1,"text":"{}"}}}}{}}})",
                            запись, ещё));
            ASSERT_TRUE(сообщение) << запись << ещё;
            auto параметры =
                параметры_открытия_из_json(std::move(std::get<Уведомление>(*сообщение).параметры));
            ASSERT_TRUE(параметры) << параметры.error();
            EXPECT_EQ(параметры->документ.текст, текст) << запись << ещё;
            EXPECT_EQ(параметры->документ.uri, "file:///%EF%BF%BD");
        }
    }
    const auto запрос = разобрать_сообщение("{\"id\":\"\\udbff\",\"method\":\"\xC0\"}");
    ASSERT_TRUE(запрос);
    EXPECT_EQ(std::get<Запрос>(*запрос).id, "\uFFFD");
    EXPECT_EQ(std::get<Запрос>(*запрос).метод, "\uFFFD");
}

// The reader builds only what the decoders read, and they find all of it:
// every member of every method's parameters, beside members no decoder
// reads, deep ones among them, and whichever parser reads the body.
TEST(Сообщения, ПараметрыЧитаютсяПоФорме) {
    const std::string глубоко = std::string(100'000, '[') + std::string(100'000, ']');
    const std::string параметры_изменения =
        R"({"textDocument":{"uri":"file:///a","version":3,"x":{"y":[1]}},"contentChanges":[)"
        R"({"text":"a","range":{"start":{"line":1,"character":2},"end":{"line":3,"character":4},)"
        R"("x":1},"rangeLength":5},{"text":"b","x":)" +
        глубоко + "}]}";
    const std::string параметры_инициализации =
        R"({"processId":7,"clientInfo":{"name":"n","version":"v"},"locale":"ru",)"
        R"("rootUri":"file:///k","capabilities":{"x":)" +
        глубоко + R"(},"initializationOptions":[2]})";
    for (const char* ещё : {"", R"(,"z":[100000000000000000000])"}) {
        auto изменение = разобрать_сообщение(
            fmt::format(R"({{"jsonrpc":"2.0","w":{},"method":"textDocument/didChange",)"
                        R"("params":{}{}}})",
                        глубоко, параметры_изменения, ещё));
        ASSERT_TRUE(изменение) << ещё;
        auto& у = std::get<Уведомление>(*изменение);
        const auto прочитанное = параметры_изменения_из_json(std::move(у.параметры));
        ASSERT_TRUE(прочитанное) << прочитанное.error();
        EXPECT_EQ(прочитанное->uri, "file:///a");
        EXPECT_EQ(прочитанное->версия, 3);
        ASSERT_EQ(прочитанное->изменения.size(), 2u);
        EXPECT_EQ(прочитанное->изменения[0].диапазон, (Диапазон{{1, 2}, {3, 4}}));
        EXPECT_EQ(прочитанное->изменения[0].длина_диапазона, 5u);
        EXPECT_EQ(прочитанное->изменения[1].текст, "b");

        const auto инициализация = разобрать_сообщение(fmt::format(
            R"({{"id":1,"method":"initialize","params":{}{}}})", параметры_инициализации, ещё));
        ASSERT_TRUE(инициализация) << ещё;
        const auto параметры =
            параметры_инициализации_из_json(std::get<Запрос>(*инициализация).параметры);
        ASSERT_TRUE(параметры) << параметры.error();
        EXPECT_EQ(параметры->id_процесса, 7u);
        EXPECT_EQ(параметры->клиент->версия, "v");
        EXPECT_EQ(параметры->язык, "ru");
        EXPECT_EQ(параметры->корневой_uri, "file:///k");

        const auto наведение = разобрать_сообщение(fmt::format(
            R"({{"id":2,"method":"textDocument/hover","params":{{"position":{{"line":1,)"
            R"("character":2,"x":{}}},"textDocument":{{"uri":"file:///a"}}}}{}}})",
            глубоко, ещё));
        ASSERT_TRUE(наведение) << ещё;
        const auto позиция = параметры_позиции_из_json(std::get<Запрос>(*наведение).параметры);
        ASSERT_TRUE(позиция) << позиция.error();
        EXPECT_EQ(позиция->позиция, (Позиция{1, 2}));
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
