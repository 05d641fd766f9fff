// A source text read with the lexer feeding the parser: the same result as
// lexing the whole text first, with only a few chunks of tokens held.
#include <fmt/format.h>

#include "support.hpp"

namespace vokra::parser {
namespace {

std::string напечатать(const std::vector<ast::ВерхнийУзел>& узлы) {
    std::string в;
    for (const auto& узел : узлы)
        в += ast::отладка(узел) + "\n";
    return в;
}

// The error as "Л 2:7: сообщение" for the lexer's and "С …" for the parser's,
// or the printed tree.
std::string потоком(std::string_view текст) {
    auto итог = разобрать_исходный_текст(текст);
    if (итог)
        return напечатать(*итог);
    const auto& о = итог.error();
    return fmt::format("{} {}:{}: {}", о.этап == ЭтапРазбора::Лексический ? "Л" : "С", о.строка,
                       о.столбец, о.сообщение);
}

// The same of the whole text lexed first and the list parsed after.
std::string весь_список(std::string_view текст) {
    auto токены = Лексер::новый(текст).токенизировать();
    if (!токены) {
        const auto& о = токены.error();
        return fmt::format("Л {}:{}: {}", о.строка, о.столбец, о.сообщение);
    }
    auto узлы = Парсер::новый(std::move(*токены)).разобрать_программу();
    return узлы ? напечатать(*узлы) : "С " + тест::как_текст(узлы.error());
}

std::string повторить(std::string_view кусок, int раз) {
    std::string в;
    for (int i = 0; i < раз; ++i)
        в += кусок;
    return в;
}

TEST(ИсходныйТекст, ЛексическаяОшибкаГдеБыНиБылаВпередиСинтаксической) {
    // Texts of many more tokens than the lexer reads at a time, so that the
    // parser stops, or looks ahead, before the lexer has reached the error.
    const std::string функции = повторить("функция п() {}\n", 1000);
    const std::string аргументы = повторить("y, ", 3000);
    const std::string слагаемые = повторить("y + ", 3000);
    struct Случай {
        std::string текст;
        const char* ожидается;
    };
    const Случай случаи[] = {
        // After an earlier syntax error.
        {"функция ф( {\n" + функции + "  x = \"abc", "Л 1002:7: "},
        // After a complete program.
        {функции + "#", "Л 1001:1: "},
        // Met by the look-ahead that pairs angle brackets, and inside the
        // speculative read of a typed call.
        {"функция ф() { x = g<Список<целое>>(" + аргументы + "#); }", "Л 1:"},
        {"функция ф() { x = g<целое>(" + слагаемые + "#); }", "Л 1:"},
        // At the very start.
        {"#" + функции, "Л 1:1: "},
        {"\"abc", "Л 1:1: "},
        // No lexical error: the parser's result.
        {"функция ф( {\n" + функции, "С 1:12: "},
        {"функция ф() { x = g<Список<целое>>(" + аргументы + "y); }", "Функция"},
    };
    for (const auto& с : случаи) {
        const std::string итог = потоком(с.текст);
        EXPECT_TRUE(итог.starts_with(с.ожидается)) << итог.substr(0, 200);
        EXPECT_EQ(итог, весь_список(с.текст)) << с.ожидается;
    }
}

TEST(ИсходныйТекст, ДлиннаяПрограммаДержитНесколькоКусков) {
    // Functions with typed calls, generic declarations and comparisons that
    // the look-ahead pairs angle brackets over.
    std::string текст;
    for (int i = 0; i < 6000; ++i)
        текст += fmt::format(
            "функция ф{0}(целое а) {{ Список<целое> с{0} = g<целое>(а < b, c > (d)); "
            "вернуть а < с{0}; }}\n",
            i);
    auto п = Парсер::из_текста(текст);
    ASSERT_TRUE(п.разобрать_программу().has_value());
    EXPECT_FALSE(п.лексическая_ошибка().has_value());
    EXPECT_GT(п.токены.size(), 200'000u);
    EXPECT_LE(п.токены.наибольшее_хранимых, 3u);
}

TEST(ИсходныйТекст, ДлинныйСписокДержитНесколькоКусков) {
    // One statement list, call or type many chunks of tokens long, read
    // inside speculative reads too; the typed calls that fail at their end
    // go back over chunks already freed and lex them again.
    const std::string единицы = повторить("1, ", 20000);
    const std::string типы = повторить("Т, ", 20000);
    const std::string тексты[] = {
        "функция ф() {" + повторить("1;", 20000) + "}",
        "функция ф() { g(" + единицы + "1); }",
        "функция ф() { x = g<целое>(" + единицы + "1); }",
        "функция ф() { x = a<b>(a<b>(g(" + единицы + "1) i)); }",
        "функция ф() { x = [" + единицы + "1]; }",
        "функция ф() { Г<" + типы + "Т> x = 1; }",
        "функция ф() { x = g<" + типы + "Т>(1); }",
        "функция ф() { x = g<" + типы + "Т>1; }",
    };
    for (const auto& текст : тексты) {
        auto п = Парсер::из_текста(текст);
        auto узлы = п.разобрать_программу();
        const std::string итог = узлы ? напечатать(*узлы) : "С " + тест::как_текст(узлы.error());
        EXPECT_EQ(итог, весь_список(текст)) << текст.substr(0, 40);
        EXPECT_LE(п.токены.наибольшее_хранимых, 4u) << текст.substr(0, 40);
    }
}

}  // namespace
}  // namespace vokra::parser
