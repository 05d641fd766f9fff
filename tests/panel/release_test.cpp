#include "panel/core/release.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vokra::panel {
namespace {

constexpr std::string_view компактный =
    R"({"url":"u","tag_name":"v1.2","name":"x","body":"line\\nnext\r\n\"q\"",)"
    R"("assets":[{"name":"vokra-Linux.zip","labels":["a",["b"]]},{"name":"x-macOS.zip"}],"z":1})";

// The same release as the service sends it: indented, a space after each
// colon.
constexpr std::string_view с_отступами = R"({
  "url": "u",
  "tag_name" : "v1.2",
  "name": "x",
  "body":	"line\\nnext\r\n\"q\"",
  "assets": [
    {
      "name": "vokra-Linux.zip",
      "labels": ["a", ["b"]]
    },
    {"name": "x-macOS.zip"}
  ],
  "z": 1
})";

TEST(ОтветРелиза, ПоляВОбоихВидахJson) {
    for (const auto json : {компактный, с_отступами}) {
        EXPECT_EQ(извлечь_json_строковое_поле(json, "tag_name").value(), "v1.2");
        EXPECT_EQ(извлечь_json_строковое_поле(json, "body").value(), R"(line\\nnext\r\n\"q\")");
        const auto файлы = извлечь_json_массив(json, "assets");
        ASSERT_TRUE(файлы);
        // The nested array does not end it early; the outer bracket does.
        EXPECT_NE(файлы->find("\"x-macOS.zip\"}"), std::string::npos) << *файлы;
        EXPECT_EQ(файлы->find("\"z\""), std::string::npos) << *файлы;
        EXPECT_TRUE(релиз_содержит_сборку(json, "macOS"));
        EXPECT_FALSE(извлечь_json_строковое_поле(json, "assets"));
    }
}

TEST(ОтветРелиза, ЗначенияСЭкранированием) {
    struct Случай {
        std::string json;
        std::optional<std::string> значение;
    };
    const std::vector<Случай> случаи = {
        {R"({"body":"a\\"})", R"(a\\)"},  // ends at its real closing quote
        {R"({"body":"a\"b","x":"y"})", R"(a\"b)"},
        {R"({"body":"open)", std::nullopt},
        {R"({"body":1,"n":{"body":"inner"}})", "inner"},
        {R"({"x":"body","body" :"v"})", "v"},
    };
    for (const auto& с : случаи) {
        const auto найдено = извлечь_json_строковое_поле(с.json, "body");
        EXPECT_EQ(найдено ? std::optional<std::string>(*найдено) : std::nullopt, с.значение)
            << с.json;
    }
    EXPECT_FALSE(извлечь_json_массив(R"({"assets":[[1])", "assets"));
    EXPECT_FALSE(релиз_содержит_сборку(R"({"name":"Linux"})", "Linux"));
}

TEST(ОтветРелиза, Разэкранирование) {
    EXPECT_EQ(разэкранировать_json_текст(R"(line\nnext\r\n\"q\")"), "line\nnext\n\"q\"");
    EXPECT_EQ(разэкранировать_json_текст(R"(a\\n\tb\u0041\)"), "a\\n\\tb\\u0041\\");
}

TEST(ОтветРелиза, РешениеОбОбновлении) {
    const auto диалог = [](std::string_view json, std::string_view платформа) {
        return std::get<ДиалогРелиза>(решить_о_релизе(json, "0.3.3", платформа));
    };
    EXPECT_EQ(диалог(R"({"tag_name": "0.3.3"})", "Linux").заголовок, "Обновлений нет");
    EXPECT_EQ(диалог(R"({"name": "v9"})", "Linux").заголовок, "Не удалось разобрать ответ");
    const auto без_сборки = диалог(R"({"tag_name":"v0.3.2","assets":["x-macOS.zip"]})", "Linux");
    EXPECT_EQ(без_сборки.вариант, 0);
    EXPECT_EQ(без_сборки.текст, "Вышла версия 0.3.2, но для Linux её ещё не собрали.");

    const auto релиз = std::get<НовыйРелиз>(решить_о_релизе(с_отступами, "0.3.3", "Linux"));
    EXPECT_EQ(релиз.версия, "1.2");
    EXPECT_EQ(релиз.что_нового, "line\\nnext\n\"q\"");
    const auto пустые_заметки = std::get<НовыйРелиз>(
        решить_о_релизе(R"({"tag_name":"v1","body":"","assets":["Linux"]})", "0.3.3", "Linux"));
    EXPECT_EQ(пустые_заметки.что_нового, "Без описания изменений.");
}

// Tag and notes come cut to what the screen shows; from the start of a longer
// answer, a value that its end cuts short is taken up to the last whole
// character.
TEST(ОтветРелиза, ДлинныеТегИЗаметки) {
    const std::string тег(300000, '9');
    const std::string начало = R"({"tag_name":"v)" + тег + R"(","assets":["Linux"],"body":")";
    const auto длинный = std::get<НовыйРелиз>(
        решить_о_релизе(начало + std::string(50000, 'n') + "\"}", "0.3.3", "Linux"));
    EXPECT_EQ(длинный.версия, тег.substr(0, 240) + "…");
    EXPECT_EQ(длинный.что_нового, std::string(240, 'n') + "…");
    const auto без_сборки =
        std::get<ДиалогРелиза>(решить_о_релизе(начало + "\"}", "0.3.3", "macOS"));
    EXPECT_NE(без_сборки.текст.find(тег.substr(0, 240) + "…, но"), std::string::npos);

    const std::string оборванный =
        std::string(R"({"tag_name":"v1","assets":["Linux"],"body":"а\nбв)") + "\xD0";
    for (const bool обрезан : {false, true}) {
        EXPECT_EQ(
            std::get<НовыйРелиз>(решить_о_релизе(оборванный, "0.3.3", "Linux", обрезан)).что_нового,
            обрезан ? "а\nбв" : "Без описания изменений.");
    }
}

}  // namespace
}  // namespace vokra::panel
