#include "type_shapes.hpp"

#include <fmt/format.h>

#include <array>

namespace vokra::замер {

namespace {

// A written type of `узлов` nodes: dictionaries and lists around integers,
// halved at every dictionary, so it is only about twice the logarithm of
// its size deep. No generic stands in it, so no bound on mangled names
// applies.
std::string дерево(std::size_t узлов) {
    if (узлов <= 1)
        return "целое";
    if (узлов % 2 == 0)
        return "Список<" + дерево(узлов - 1) + ">";
    const std::size_t половина = (узлов - 1) / 2;
    return "Словарь<" + дерево(половина) + ", " + дерево(узлов - 1 - половина) + ">";
}

// The declarations, in which `{0}` stands for a large written type of
// `узлов` nodes, then a function of `употреблений` statements, each of the
// uses in turn, whose variable `x` takes that type from the call `ф()`.
std::string употребления(std::size_t узлов, std::string_view объявления,
                         std::span<const std::string_view> виды, std::size_t употреблений) {
    std::string текст = fmt::format(fmt::runtime(объявления), дерево(узлов));
    текст += "функция главная(К к, Ящик я) {\nx = ф();\n";
    for (std::size_t i = 0; i < употреблений; ++i) {
        текст += виды[i % виды.size()];
        текст += '\n';
    }
    return текст + "}\n";
}

// Reading the variable, taking a call's result, calling a contract method,
// reading a field: none of the uses writes the type.
std::string дерево_в_употреблениях(std::size_t употреблений) {
    constexpr std::array<std::string_view, 4> виды{"x;", "ф();", "к.м();", "я.поле;"};
    return употребления(8000,
                        "контракт К {{ функция м(): {0}; }}\n"
                        "функция ф(): {0} {{ пока (да) {{ }} }}\n"
                        "структура Ящик {{ {0} поле; }}\n",
                        виды, употреблений);
}

// Each use compares the large type with one resolved elsewhere: an
// assignment from a call, from a contract method and to a field, an
// argument of a function and of a contract method.
std::string дерево_в_сравнениях(std::size_t употреблений) {
    constexpr std::array<std::string_view, 5> виды{"x = ф();", "x = к.м();", "г(x);", "к.н(x);",
                                                   "я.поле = x;"};
    return употребления(4000,
                        "контракт К {{ функция м(): {0}; функция н({0} п); }}\n"
                        "функция ф(): {0} {{ пока (да) {{ }} }}\n"
                        "функция г({0} п) {{ }}\n"
                        "структура Ящик {{ {0} поле; }}\n",
                        виды, употреблений);
}

// Each use reaches an instance made once: a generic function, a generic
// method and a generic structure's constructor, all with the same type
// argument, whose instances hold the large type apart from it.
std::string дерево_в_экземплярах(std::size_t употреблений) {
    constexpr std::array<std::string_view, 3> виды{"x = о<целое>(x);", "x = я.взять<целое>(x);",
                                                   "y = П<целое>(x);"};
    return употребления(3000,
                        "контракт К {{ }}\n"
                        "функция ф(): {0} {{ пока (да) {{ }} }}\n"
                        "функция о<Т>({0} п): {0} {{ вернуть п; }}\n"
                        "структура Ящик {{ целое ц;\n"
                        "функция взять<Т>({0} п): {0} {{ вернуть п; }} }}\n"
                        "структура П<Т> {{ {0} поле; }}\n",
                        виды, употреблений);
}

// A structure and a contract whose names are 100 KB each, used
// `употреблений` times where neither is written: reading and assigning the
// variable, its field and its method, passing it for the contract and
// calling the contract's method.
std::string длинные_имена(std::size_t употреблений) {
    std::string структура = "С", контракт = "К";
    for (std::size_t i = 0; i < 50'000; ++i) {
        структура += "с";
        контракт += "к";
    }
    constexpr std::array<std::string_view, 7> виды{"x;",     "x.f;",  "x.f = 1;", "x.м();",
                                                   "y = x;", "г(x);", "к.м();"};
    std::string текст = fmt::format(
        "контракт {1} {{ функция м(); }}\n"
        "структура {0} : {1} {{ целое f; функция м() {{ }} }}\n"
        "функция г({1} к) {{ }}\n"
        "функция главная({0} x, {1} к) {{\ny = x;\n",
        структура, контракт);
    for (std::size_t i = 0; i < употреблений; ++i) {
        текст += виды[i % виды.size()];
        текст += '\n';
    }
    return текст + "}\n";
}

// A contract of 2 000 methods, and a structure that names it `упоминаний`
// times after `:` and has every method.
std::string повторённый_контракт(std::size_t упоминаний) {
    constexpr std::size_t методов = 2000;
    std::string требования, методы, контракты;
    for (std::size_t i = 0; i < методов; ++i) {
        требования += fmt::format("функция м{}();\n", i);
        методы += fmt::format("функция м{}() {{ }}\n", i);
    }
    for (std::size_t i = 0; i < упоминаний; ++i)
        контракты += i > 0 ? ", К" : "К";
    return fmt::format("контракт К {{\n{}}}\nструктура С : {} {{\nцелое x;\n{}}}\n", требования,
                       контракты, методы);
}

// `употреблений` reads of a variable declared outside 450 nested `если`
// blocks, each of which declares a variable of its own.
std::string глубокие_области(std::size_t употреблений) {
    constexpr std::size_t глубина = 450;
    std::string текст = "функция ф() {\nцелое x = 1;\n";
    for (std::size_t i = 0; i < глубина; ++i)
        текст += fmt::format("если (да) {{\nцелое y{} = 1;\n", i);
    for (std::size_t i = 0; i < употреблений; ++i)
        текст += "x;\n";
    for (std::size_t i = 0; i <= глубина; ++i)
        текст += "}\n";
    return текст;
}

constexpr std::array формы{
    // Trees of 8 000, 4 000 and 3 000 nodes, about 160, 80 and 60 KB, under
    // 1 MB in all at 20 000 uses.
    ОбобщённаяФорма{"дерево_в_употреблениях", 10'000, 20'000, дерево_в_употреблениях},
    ОбобщённаяФорма{"дерево_в_сравнениях", 10'000, 20'000, дерево_в_сравнениях},
    ОбобщённаяФорма{"дерево_в_экземплярах", 10'000, 20'000, дерево_в_экземплярах},
    // 730 KB at 20 000 uses.
    ОбобщённаяФорма{"длинные_имена", 10'000, 20'000, длинные_имена},
    // 330 KB at 100 000 reads: beyond it the time goes to parsing the
    // statements, as it does without the scopes around them.
    ОбобщённаяФорма{"глубокие_области", 50'000, 100'000, глубокие_области},
    // 360 KB at 60 000 mentions.
    ОбобщённаяФорма{"повторённый_контракт", 30'000, 60'000, повторённый_контракт},
};

// A list type `глубина` levels deep.
std::string глубокий_список(std::size_t глубина) {
    std::string тип;
    for (std::size_t i = 0; i < глубина; ++i)
        тип += "Список<";
    тип += "целое";
    for (std::size_t i = 0; i < глубина; ++i)
        тип += '>';
    return тип;
}

constexpr std::size_t глубоких_членов = 70;

// Hover on a structure of 70 fields, each a list `глубина` levels deep.
ТекстПодсказки глубокие_поля(std::size_t глубина) {
    const std::string тип = глубокий_список(глубина);
    std::string текст = "структура Глубокая {\n";
    for (std::size_t i = 0; i < глубоких_членов; ++i)
        текст += fmt::format("{} п{};\n", тип, i);
    return {текст + "}\n", 0, 11};
}

// Hover on a function of 70 parameters of such types, returning one.
ТекстПодсказки глубокие_параметры(std::size_t глубина) {
    const std::string тип = глубокий_список(глубина);
    std::string текст = "функция глубокая(";
    for (std::size_t i = 0; i < глубоких_членов; ++i)
        текст += fmt::format("{}{} п{}", i > 0 ? ", " : "", тип, i);
    return {текст + fmt::format("): {} {{ пока (да) {{ }} }}\n", тип), 0, 9};
}

constexpr std::array формы_подсказки{
    // About 1 MB at 980 levels.
    ФормаПодсказки{"глубокие_поля", 490, 980, глубокие_поля},
    ФормаПодсказки{"глубокие_параметры", 490, 980, глубокие_параметры},
};

}  // namespace

std::span<const ОбобщённаяФорма> формы_типов() {
    return формы;
}

std::span<const ФормаПодсказки> формы_подсказок() {
    return формы_подсказки;
}

}  // namespace vokra::замер
