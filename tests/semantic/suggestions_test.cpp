#include "semantic/suggestions.hpp"

#include <gtest/gtest.h>

namespace vokra::semantic {
namespace {

TEST(Подсказки, РасстояниеПоСимволам) {
    struct Случай {
        const char* а;
        const char* б;
        std::size_t расстояние;
    };
    const Случай случаи[] = {
        {"", "", 0},
        {"", "счёт", 4},
        {"счётчик", "счетчик", 1},
        {"Вывести", "вывести", 1},
        {"ab", "ba", 2},
        {"суммa", "сумма", 1},  // Latin a for Cyrillic а
    };
    for (const auto& с : случаи)
        EXPECT_EQ(расстояние_левенштейна(с.а, с.б), с.расстояние) << с.а << " / " << с.б;
}

TEST(Подсказки, ПорогИПорядок) {
    struct Случай {
        const char* имя;
        std::vector<std::string> кандидаты;
        const char* выбор;  // "" when none
    };
    const Случай случаи[] = {
        // Up to 5 characters: distance 1 only.
        {"аб", {"аг"}, "аг"},
        {"аб", {"вг"}, ""},
        {"слово", {"сло"}, ""},
        // 6 to 8 characters: distance 2.
        {"счтчик", {"счётчик"}, "счётчик"},
        {"абвгде", {"абвгёж"}, "абвгёж"},
        {"абвгде", {"абвёжз"}, ""},
        {"абвгдеёж", {"абвгдеиз"}, "абвгдеиз"},
        // 9 characters and more: distance 3, never 4.
        {"абвгдеёжз", {"абвгдеийк"}, "абвгдеийк"},
        {"абвгдеёжзийклм", {"абвгдеёжзийклмнопр"}, ""},
        // The closest wins; among equals the first; the name itself never.
        {"вывест", {"выве", "вывести"}, "вывести"},
        {"вывест", {"вывесть", "вывести"}, "вывесть"},
        {"вывести", {"вывести"}, ""},
        {"вывести", {"вывести", "Вывести"}, "Вывести"},
        {"имя", {}, ""},
    };
    for (const auto& с : случаи) {
        const std::string* выбор = найти_похожее_имя(с.имя, с.кандидаты);
        EXPECT_EQ(выбор ? *выбор : "", с.выбор) << с.имя;
        const std::string подсказка = подсказка_похожего_имени(с.имя, с.кандидаты);
        EXPECT_EQ(подсказка, *с.выбор ? std::string(" (может, вы имели в виду '") + с.выбор + "'?)"
                                      : std::string())
            << с.имя;
    }
}

}  // namespace
}  // namespace vokra::semantic
