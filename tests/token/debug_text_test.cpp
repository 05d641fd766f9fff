#include "token/debug_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vokra {
namespace {

TEST(ОтладкаТекста, Экранирование) {
    EXPECT_EQ(отладка_текста("a\"b\nc"), R"("a\"b\nc")");
    EXPECT_EQ(отладка_текста(std::string_view("\\\t\r\0", 4)), R"("\\\t\r\0")");
    EXPECT_EQ(отладка_текста("привет 'мир'"), "\"привет 'мир'\"");
    // Non-printable: NBSP, a control, zero-width space, BOM, a combining mark.
    EXPECT_EQ(отладка_текста("\u00A0\x01\u200B\uFEFF\u0301"),
              R"("\u{a0}\u{1}\u{200b}\u{feff}\u{301}")");
    EXPECT_EQ(отладка_текста("😀«»—"), "\"😀«»—\"");
}

TEST(ДробныеЧисла, БезПорядка) {
    struct Случай {
        double число;
        const char* текст;
    };
    const Случай случаи[] = {
        {2.0, "2"},          {0.5, "0.5"},         {1e23, "100000000000000000000000"},
        {1e-7, "0.0000001"}, {123.456, "123.456"}, {0.1 + 0.2, "0.30000000000000004"},
        {0.0, "0"},          {-1.5, "-1.5"},       {std::numeric_limits<double>::infinity(), "inf"},
    };
    for (const auto& с : случаи)
        EXPECT_EQ(дробное_в_тексте(с.число), с.текст) << с.текст;
}

TEST(ДробныеЧисла, ОтладочнаяФорма) {
    struct Случай {
        double число;
        const char* текст;
    };
    const Случай случаи[] = {
        {2.0, "2.0"},
        {0.5, "0.5"},
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {1e15, "1000000000000000.0"},
        {1e16, "1e16"},
        {1.5e16, "1.5e16"},
        {0.0001, "0.0001"},
        {1e-5, "1e-5"},
        {-2.5e-7, "-2.5e-7"},
        {1e300, "1e300"},
        {std::nan(""), "NaN"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
    };
    for (const auto& с : случаи)
        EXPECT_EQ(отладка_дробного(с.число), с.текст) << с.текст;
}

}  // namespace
}  // namespace vokra
