#include "semantic/suggestions.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

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

// The distance cut off at a limit agrees with the full one wherever the full
// one is within the limit, and is just past the limit elsewhere: pairs whose
// distance is at, below and above each limit, with the edits at either end
// of the band and lengths that differ by up to the limit and one more.
TEST(Подсказки, РасстояниеСПределом) {
    const std::pair<const char*, const char*> пары[] = {
        {"", ""},
        {"", "абв"},
        {"а", ""},
        {"счётчик", "счётчик"},
        {"счётчик", "счетчик"},
        {"счётчик", "счтчик"},
        {"счётчик", "сч"},
        {"абвгдеёжз", "бвгдеёжзи"},
        {"абвгдеёжз", "вгдеёжзий"},
        {"абвгдеёжз", "гдеёжзийк"},
        {"абвгдеёжз", "дежзийклм"},
        {"абвгде", "едгвба"},
        {"абвгдеёжзийклмноп", "xбвгдеёжзийклмноy"},
        {"абвгдеёжзийклмноп", "бвгдеёжзийклмнопрс"},
        {"аааааааааа", "ааааааааааааа"},
        {"аааааааааа", "аааааааааааааа"},
        {"вывести", "Вывести"},
    };
    for (const auto& [а, б] : пары) {
        const std::size_t полное = расстояние_левенштейна(а, б);
        for (std::size_t предел = 0; предел <= 4; ++предел) {
            const std::size_t ожидаемое = std::min(полное, предел + 1);
            EXPECT_EQ(расстояние_левенштейна_до(а, б, предел), ожидаемое)
                << а << " / " << б << ", предел " << предел;
            EXPECT_EQ(расстояние_левенштейна_до(б, а, предел), ожидаемое)
                << б << " / " << а << ", предел " << предел;
        }
    }
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
