#include "вокра_lsp/positions.hpp"

#include <gtest/gtest.h>

namespace vokra::lsp {
namespace {

TEST(ЕдиницыUtf16, ВОбеСтороныИЗаКонцомСтроки) {
    // a, Ж and b take one unit each; 😀 takes two.
    const std::string строка = "aЖ😀b";
    struct Случай {
        std::uint32_t символов;
        std::uint32_t единиц;
    };
    const Случай случаи[] = {{0, 0}, {2, 2}, {3, 4}, {4, 5}, {6, 7}};
    for (const auto& с : случаи) {
        EXPECT_EQ(в_единицы_utf16(строка, с.символов), с.единиц) << с.символов;
        EXPECT_EQ(в_символы(строка, с.единиц), с.символов) << с.единиц;
    }
    EXPECT_EQ(в_символы(строка, 3), 2u);  // inside the surrogate pair
    EXPECT_EQ(в_единицы_utf16("", 4'294'967'295u), 4'294'967'295u);
}

TEST(ЕдиницыUtf16, СтрокиТекста) {
    const std::string текст = "а\r\n😀x\n\nb";
    EXPECT_EQ(позиция_в_utf16(текст, {1, 1}), (Позиция{1, 2}));
    EXPECT_EQ(позиция_в_символах(текст, {1, 2}), (Позиция{1, 1}));
}

}  // namespace
}  // namespace vokra::lsp
