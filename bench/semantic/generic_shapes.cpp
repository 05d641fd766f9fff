#include "generic_shapes.hpp"

#include <fmt/format.h>

#include <array>

#include "texts.hpp"

namespace vokra::замер {

namespace {

// `целое п = 0;` and then `п = п + 1;` until there are `операторов` statements.
std::string счёт(std::size_t операторов) {
    std::string текст = "целое п = 0;\n";
    for (std::size_t i = 1; i < операторов; ++i)
        текст += "п = п + 1;\n";
    return текст;
}

// A generic structure of `параметров` parameters whose field has the type of
// the first; each type argument names the next parameter twice, so replacing
// the parameters one after the other doubles the field's type each time.
std::string удвоение(std::size_t параметров) {
    std::string параметры, аргументы;
    for (std::size_t i = 1; i <= параметров; ++i) {
        параметры += fmt::format("{}П{}", i > 1 ? ", " : "", i);
        аргументы += i < параметров ? fmt::format("Пара<П{0}, П{0}>, ", i + 1) : "целое";
    }
    return fmt::format(
        "структура Пара<А, Б> {{ А а; Б б; }}\nструктура Д<{}> {{ П1 поле; }}\n"
        "функция главная() {{ вывести(Д<{}>(1)); }}\n",
        параметры, аргументы);
}

// Generic functions г0 … each calling the next with a list of its type and
// an optional of it: 2^функций instances in all; the last body has
// `последних` statements.
std::string обёртки(std::size_t функций, std::size_t последних) {
    std::string текст;
    for (std::size_t i = 0; i + 1 < функций; ++i)
        текст += fmt::format(
            "функция г{0}<Т>() {{ вывести(г{1}<Список из Т>()); вывести(г{1}<Т?>()); }}\n", i,
            i + 1);
    текст += fmt::format("функция г{}<Т>() {{\n{}}}\n", функций - 1, счёт(последних));
    return текст + "функция главная() { вывести(г0<целое>()); }\n";
}

// Calls of ф0 with `типов` distinct array types, one statement each.
std::string вызовы_с_типами(std::size_t типов) {
    std::string текст = "функция главная() {\n";
    for (std::size_t i = 1; i <= типов; ++i)
        текст += fmt::format("вывести(ф0<целое({})>());\n", i);
    return текст + "}\n";
}

// One generic function of `размер` statements used with `размер` types.
std::string большой_шаблон(std::size_t размер) {
    return fmt::format("функция ф0<Т>() {{\n{}}}\n", счёт(размер)) + вызовы_с_типами(размер);
}

// 60 generic functions of 100 statements, each calling the next, used with
// `типов` types.
std::string цепь_шаблонов(std::size_t типов) {
    std::string текст;
    constexpr std::size_t функций = 60;
    for (std::size_t i = 0; i < функций; ++i)
        текст += fmt::format("функция ф{}<Т>() {{\n{}{}}}\n", i,
                             i + 1 < функций ? fmt::format("вывести(ф{}<Т>());\n", i + 1) : "",
                             счёт(100));
    return текст + вызовы_с_типами(типов);
}

// A type argument `глубина` levels deep replaces each of `упоминаний`
// mentions of the parameter.
std::string глубокий_аргумент(std::size_t глубина, std::size_t упоминаний) {
    std::string текст = "структура G<Т> { Т x; }\nфункция ф<Т>() {\n";
    for (std::size_t i = 0; i < упоминаний; ++i)
        текст += "вывести(Список из Т());\n";
    std::string аргумент = "целое";
    for (std::size_t i = 0; i < глубина; ++i)
        аргумент = "G<" + аргумент + ">";
    return текст + fmt::format("}}\nфункция главная() {{ вывести(ф<{}>()); }}\n", аргумент);
}

// Distinct generic functions, each calling the next, without recursion.
std::string цепочка(std::size_t функций) {
    std::string текст;
    for (std::size_t i = 0; i + 1 < функций; ++i)
        текст += fmt::format("функция г{}<Т>() {{ вывести(г{}<Т>()); }}\n", i, i + 1);
    текст += fmt::format("функция г{}<Т>() {{ }}\n", функций - 1);
    return текст + "функция главная() { вывести(г0<целое>()); }\n";
}

// A function of `параметров` parameters, each of the type `тип`.
std::string параметры_типа(std::size_t параметров, std::string_view тип) {
    std::string параметры;
    for (std::size_t i = 0; i < параметров; ++i)
        параметры += fmt::format("{}{} п{}", i > 0 ? ", " : "", тип, i);
    return fmt::format("структура Г<Т> {{ Т x; }}\nфункция ф({}) {{ }}\n", параметры);
}

// A structure of `параметров` generic parameters whose method holds
// `операторов` statements `1;`, built once: its instance replaces every
// parameter in the method's body.
std::string много_параметров(std::size_t параметров, std::size_t операторов) {
    std::string параметры, аргументы;
    for (std::size_t i = 0; i < параметров; ++i) {
        параметры += fmt::format("{}П{}", i > 0 ? ", " : "", i);
        аргументы += i > 0 ? ", Ы" : "Ы";
    }
    return fmt::format(
        "структура Ы {{ целое x; }}\nструктура Д<{}> {{ целое x; функция м() {{ {} }} }}\n"
        "функция главная() {{ вывести(Д<{}>(1)); }}\n",
        параметры, буквы("1;", операторов), аргументы);
}

// A contract of `методов` methods, each taking an array `глубина` levels
// deep, and a structure that keeps it.
std::string глубокий_контракт(std::size_t глубина, std::size_t методов) {
    const std::string тип = глубокий_тип(глубина, "", "[1]");
    std::string требования, методы;
    for (std::size_t i = 0; i < методов; ++i) {
        требования += fmt::format("функция м{}({} п);\n", i, тип);
        методы += fmt::format("функция м{}({} п) {{ }}\n", i, тип);
    }
    return fmt::format("контракт К {{\n{}}}\nструктура С : К {{\nцелое x;\n{}}}\n", требования,
                       методы);
}

constexpr std::array формы{
    ОбобщённаяФорма{"удвоение", 24, 26, удвоение},
    ОбобщённаяФорма{"обёртки", 12, 16, [](std::size_t н) { return обёртки(н, 1); }},
    ОбобщённаяФорма{"обёртки_с_большой_последней", 12, 16,
                    [](std::size_t н) { return обёртки(н, 1000); }},
    ОбобщённаяФорма{"большой_шаблон", 2000, 4000, большой_шаблон},
    ОбобщённаяФорма{"цепь_шаблонов", 800, 1600, цепь_шаблонов},
    ОбобщённаяФорма{"глубокий_аргумент", 450, 900,
                    [](std::size_t н) { return глубокий_аргумент(н, н * 20 / 3); }},
    ОбобщённаяФорма{"цепочка", 65, 1000, цепочка},
    // Parameters of types written 450 and 900 levels deep, about 0.8 MB at
    // the larger depth.
    ОбобщённаяФорма{"глубокие_обобщения", 450, 900,
                    [](std::size_t н) { return параметры_типа(222, глубокий_тип(н, "Г<", ">")); }},
    ОбобщённаяФорма{"глубокие_массивы", 450, 900,
                    [](std::size_t н) { return параметры_типа(300, глубокий_тип(н, "", "[1]")); }},
    ОбобщённаяФорма{
        "глубокие_списки", 450, 900,
        [](std::size_t н) { return параметры_типа(50, глубокий_тип(н, "Список из ", "")); }},
    ОбобщённаяФорма{
        "глубокие_опциональные", 450, 900,
        [](std::size_t н) { return параметры_типа(64, глубокий_тип(н, "Список<", "?>")); }},
    // A generic around a list, half as many times: each list quotes the
    // name inside it again, so the name doubles in length per level until
    // it passes the bound.
    ОбобщённаяФорма{
        "глубокие_списки_в_обобщении", 450, 900,
        [](std::size_t н) { return параметры_типа(50, глубокий_тип(н / 2, "Г<Список<", ">>")); }},
    ОбобщённаяФорма{"глубокий_контракт", 450, 900,
                    [](std::size_t н) { return глубокий_контракт(н, 150); }},
    // 1 300 parameters, as many as the bound on an instance's name lets
    // through, over a body of 0.4 and 0.8 MB.
    ОбобщённаяФорма{"много_параметров", 200'000, 400'000,
                    [](std::size_t н) { return много_параметров(1300, н); }},
};

}  // namespace

std::string глубокий_тип(std::size_t обёрток, std::string_view открыть, std::string_view закрыть) {
    return вложить(обёрток, открыть, "целое", закрыть);
}

std::span<const ОбобщённаяФорма> обобщённые_формы() {
    return формы;
}

}  // namespace vokra::замер
