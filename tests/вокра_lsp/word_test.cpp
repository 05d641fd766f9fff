#include "вокра_lsp/word.hpp"

#include <gtest/gtest.h>

namespace vokra::lsp {
namespace {

TEST(СловоПодКурсором, ВыборСловаВСтроке) {
    struct Случай {
        const char* текст;
        std::uint32_t строка;
        std::uint32_t символ;
        std::optional<std::string> слово;
    };
    const char* объявление = "функция сумма(целое а): целое";
    const Случай случаи[] = {
        {объявление, 0, 10, "сумма"},  // on the м of сумма
        {объявление, 0, 13, "сумма"},  // just after it, on the bracket
        {объявление, 0, 0, "функция"},
        {объявление, 0, 7, "функция"},   // the space after a word picks that word
        {объявление, 0, 1000, "целое"},  // past the end: the last character
        {" x", 0, 0, std::nullopt},      // character 0 on a space
        {"a  b", 0, 2, std::nullopt},    // a space after a space
        {"имя_2x", 0, 3, "имя_2x"},
        {"a\r\nслово\r\n", 1, 5, "слово"},  // CR LF: the CR is not the last character
        {"a\r\nслово\r\n", 1, 99, "слово"},
        {"a\n", 1, 0, std::nullopt},     // a final line feed opens no line
        {"a\n\nb", 1, 0, std::nullopt},  // an empty line
        {"a\nb", 5, 0, std::nullopt},    // past the last line
        {"", 0, 0, std::nullopt},
        {"(x)", 0, 2, "x"},
        {"😀x", 0, 1, "x"},  // code points, not UTF-16 units
    };
    for (const auto& с : случаи)
        EXPECT_EQ(слово_под_курсором(с.текст, с.строка, с.символ), с.слово)
            << с.текст << " @" << с.строка << ":" << с.символ;
}

}  // namespace
}  // namespace vokra::lsp
