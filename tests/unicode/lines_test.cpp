// Both readings of a text's lines, on the same texts.
#include "unicode/lines.hpp"

#include <gtest/gtest.h>

namespace vokra::unicode {
namespace {

TEST(Строки, ДваПрочтенияВозвратаКаретки) {
    struct Случай {
        std::string текст;
        std::vector<std::string_view> без_возврата;
        std::vector<std::string_view> с_возвратом;  // lines 0, 1, … as the lexer counts
    };
    const Случай случаи[] = {
        {"а\r\n😀x\n\nb", {"а", "😀x", "", "b"}, {"а\r", "😀x", "", "b"}},
        {"a\n", {"a"}, {"a", ""}},
        {"a\r", {"a\r"}, {"a\r"}},  // no feed after it: a character either way
        {"\r\n", {""}, {"\r", ""}},
        {"", {}, {""}},
    };
    for (const auto& с : случаи) {
        EXPECT_EQ(строки_без_возврата_каретки(с.текст), с.без_возврата) << с.текст;
        for (std::size_t номер = 0; номер <= с.без_возврата.size(); ++номер) {
            const auto строка = строка_без_возврата_каретки(с.текст, номер);
            if (номер < с.без_возврата.size())
                EXPECT_EQ(строка, с.без_возврата[номер]) << с.текст << " @" << номер;
            else
                EXPECT_EQ(строка, std::nullopt) << с.текст << " @" << номер;
        }
        for (std::size_t номер = 0; номер < с.с_возвратом.size(); ++номер)
            EXPECT_EQ(строка_с_возвратом_каретки(с.текст, номер), с.с_возвратом[номер])
                << с.текст << " @" << номер;
        EXPECT_EQ(строка_с_возвратом_каретки(с.текст, 9), "") << с.текст;
    }
}

}  // namespace
}  // namespace vokra::unicode
