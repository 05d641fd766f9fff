#include "вокра_пакеты/package_line.hpp"

#include <gtest/gtest.h>

namespace vokra::пакеты {
namespace {

using std::nullopt;

TEST(СтрокаПакета, РазбираетПоля) {
    struct Случай {
        std::string текст;
        Зависимость ожидается;
    };
    const Случай случаи[] = {
        {"а = git https://x/a.git", {"а", "https://x/a.git", nullopt, nullopt, nullopt}},
        {"  а\t=\tgit   u  ветка=main ветка=dev", {"а", "u", "dev", nullopt, nullopt}},
        {"а = git u ветка=", {"а", "u", "", nullopt, nullopt}},
        {"а = git u версия=^1.2.0 мусор x=y", {"а", "u", nullopt, "^1.2.0", nullopt}},
        {"а = git u описание=\"Две части\" версия=~1.0.0",
         {"а", "u", nullopt, "~1.0.0", "Две части"}},
        {"а = git u описание=\"\"", {"а", "u", nullopt, nullopt, ""}},
        {"= git u", {"", "u", nullopt, nullopt, nullopt}},
        {"а = git u версия=1.0.0\r\n", {"а", "u", nullopt, "1.0.0", nullopt}},
        // No-break and ideographic spaces are white space too.
        {"а\u00A0=\u3000git\u2003u", {"а", "u", nullopt, nullopt, nullopt}},
    };
    for (const auto& с : случаи) {
        const auto итог = разобрать_манифест(с.текст);
        ASSERT_TRUE(итог) << с.текст << ": " << итог.error();
        ASSERT_EQ(итог->size(), 1u) << с.текст;
        EXPECT_EQ(итог->front(), с.ожидается) << с.текст;
    }
}

TEST(СтрокаПакета, ПропускаетПустыеИКомментарииНоСчитаетИх) {
    const auto итог = разобрать_манифест("\n   # заметка\nа = git u1\n\nб = git u2");
    ASSERT_TRUE(итог);
    ASSERT_EQ(итог->size(), 2u);
    EXPECT_EQ((*итог)[1].имя, "б");
    EXPECT_TRUE(разобрать_манифест("# только\n\n")->empty());

    const auto ошибка = разобрать_манифест("# x\n\nа = git u\nплохо\n");
    ASSERT_FALSE(ошибка);
    EXPECT_TRUE(ошибка.error().starts_with("строка 4: ")) << ошибка.error();
}

TEST(СтрокаПакета, Ошибки) {
    struct Случай {
        std::string текст;
        std::string сообщение;
    };
    const Случай случаи[] = {
        {"  без равенства ",
         "строка 1: ожидался формат 'имя = git URL [ветка=ИМЯ] [описание=\"текст\"]', получено: "
         "'без равенства'"},
        {"а = git u описание=\"нет конца",
         "строка 1: не найдена закрывающая кавычка у 'описание=\"...'"},
        {"а =  git ",
         "строка 1: пока поддерживается только 'git URL' (другие источники — следующий шаг), "
         "получено: 'git'"},
        {"а = hg u описание=\"x y\"",
         "строка 1: пока поддерживается только 'git URL' (другие источники — следующий шаг), "
         "получено: 'hg u описание=\"x y\"'"},
        {"а = git u версия=1.0.0 ветка=",
         "строка 1: 'ветка=' и 'версия=' взаимоисключающие — укажи только одно ('версия' — если "
         "это семантическая версия вида X.Y.Z, для разрешения конфликтов; 'ветка' — для "
         "произвольного git-рефа)"},
    };
    for (const auto& с : случаи) {
        const auto итог = разобрать_манифест(с.текст);
        ASSERT_FALSE(итог) << с.текст;
        EXPECT_EQ(итог.error(), с.сообщение);
    }
}

TEST(СтрокаПакета, СтрокиБлокировкиЧитаютсяТемЖеРазбором) {
    const auto итог =
        разобрать_манифест("# Заголовок — комментарий\n# ещё\nб = git /r/б.git версия=v1.4.0\n");
    ASSERT_TRUE(итог);
    ASSERT_EQ(итог->size(), 1u);
    EXPECT_EQ(итог->front().версия, "v1.4.0");
}

}  // namespace
}  // namespace vokra::пакеты
