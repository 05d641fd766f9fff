#include "unicode/unicode.hpp"

#include <gtest/gtest.h>

namespace vokra::unicode {
namespace {

TEST(Декодирование, ЦелыеПоследовательности) {
    EXPECT_EQ(декодировать("aЖ€😀"), U"aЖ€😀");
    EXPECT_EQ(закодировать(U"aЖ€😀"), "aЖ€😀");
}

TEST(Декодирование, КаждыйНеверныйБайтСтановитсяЗаменой) {
    struct Случай {
        std::string байты;
        std::u32string символы;
    };
    const Случай случаи[] = {
        {"\x80", U"\uFFFD"},                                // stray continuation byte
        {"\xC0\xAF", U"\uFFFD\uFFFD"},                      // overlong '/'
        {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},            // surrogate
        {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"a\xD0", U"a\uFFFD"},                              // cut short by the end
        {"\xE2\x82z", U"\uFFFD\uFFFDz"},                    // cut short by an ASCII byte
        {"\xFF", U"\uFFFD"},
    };
    for (const auto& с : случаи)
        EXPECT_EQ(декодировать(с.байты), с.символы) << с.байты;
}

TEST(КлассыСимволов, ПробелыБуквыЦифры) {
    for (char32_t с : {U' ', U'\t', U'\n', U'\r', U'\v', U'\f', U'\u0085', U'\u00A0', U'\u1680',
                       U'\u2000', U'\u200A', U'\u2028', U'\u2029', U'\u202F', U'\u205F', U'\u3000'})
        EXPECT_TRUE(пробельный(с)) << static_cast<unsigned>(с);
    for (char32_t с : {U'\u200B', U'\uFEFF', U'a', U'\u180E'})
        EXPECT_FALSE(пробельный(с)) << static_cast<unsigned>(с);

    for (char32_t с : {U'a', U'Z', U'ж', U'Ё', U'ß', U'中', U'\u0345', U'\U0001D400'})
        EXPECT_TRUE(буквенный(с)) << static_cast<unsigned>(с);
    for (char32_t с : {U'1', U'_', U'\u0483', U'«', U'😀'})
        EXPECT_FALSE(буквенный(с)) << static_cast<unsigned>(с);

    // Nd, Nl and No: Arabic-Indic digit, Roman numeral, superscript two, vulgar half.
    for (char32_t с : {U'0', U'9', U'\u0663', U'\u2160', U'\u00B2', U'\u00BD', U'\U0001D7CE'})
        EXPECT_TRUE(числовой(с)) << static_cast<unsigned>(с);
    for (char32_t с : {U'a', U'_', U'ж'})
        EXPECT_FALSE(числовой(с)) << static_cast<unsigned>(с);

    EXPECT_TRUE(символ_слова(U'_'));
    EXPECT_FALSE(символ_слова(U'-'));
}

TEST(Обрезка, ПоСпискуWhiteSpace) {
    EXPECT_EQ(обрезать("  \t имя = 1\u00A0\u3000\r\n"), "имя = 1");
    EXPECT_EQ(обрезать("\u200Bимя"), "\u200Bимя");
    EXPECT_EQ(обрезать(" \u2003 "), "");
    EXPECT_EQ(обрезать(""), "");
    EXPECT_EQ(обрезать("ж"), "ж");
}

}  // namespace
}  // namespace vokra::unicode
