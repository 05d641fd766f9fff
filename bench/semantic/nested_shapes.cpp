#include <fmt/format.h>

#include <array>

#include "generic_shapes.hpp"
#include "texts.hpp"

namespace vokra::замер {

namespace {

// `функция f(целое x)` `глубина` times around `вызов`.
std::string под_вызовами(std::size_t глубина, std::string_view вызов) {
    std::string текст;
    for (std::size_t i = 0; i < глубина; ++i)
        текст += "f(";
    текст += вызов;
    текст.append(глубина, ')');
    return текст;
}

// `функций` generic functions in a ring, each calling the next under
// `глубина` calls of f, the last calling the first with a list of its type:
// instances nest until a template stands 64 times among them, each with
// `глубина` levels of its own. `заполнителей` statements `1;` in the main
// function raise the work instances may do.
std::string кольцо(std::size_t функций, std::size_t глубина, std::size_t заполнителей) {
    std::string текст = "функция f(целое x): целое { вернуть x; }\n";
    for (std::size_t i = 0; i < функций; ++i) {
        const bool последняя = i + 1 == функций;
        текст += fmt::format("функция г{}<Т>(): целое {{ вернуть {}; }}\n", i,
                             под_вызовами(глубина, fmt::format("г{}<{}>()", последняя ? 0 : i + 1,
                                                               последняя ? "Список<Т>" : "Т")));
    }
    текст += "функция главная() { целое x = г0<целое>();\n";
    for (std::size_t i = 0; i < заполнителей; ++i)
        текст += "1;";
    return текст + "\n}\n";
}

// `функций` distinct generic functions, each returning the next one's value
// under `глубина` prefix minuses: a valid program of one chain of instances.
std::string цепь_под_минусами(std::size_t функций, std::size_t глубина) {
    std::string текст;
    const std::string минусы(глубина, '-');
    for (std::size_t i = 0; i < функций; ++i)
        текст += fmt::format("функция г{}<Т>(): целое {{ вернуть {}{}; }}\n", i, минусы,
                             i + 1 < функций ? fmt::format("г{}<Т>()", i + 1) : "1");
    return текст + "функция главная() { целое x = г0<целое>(); }\n";
}

// Two generic functions calling each other, the second with a list of its
// type, each body `заполнителей` statements `1;` long: instances nest
// through types until the work of instances runs out, each standing while
// the ones inside it are checked.
std::string кольцо_больших_тел(std::size_t заполнителей) {
    return fmt::format(
        "функция а<Т>(): целое {{ {0} вернуть б<Т>(); }}\n"
        "функция б<Т>(): целое {{ {0} вернуть а<Список<Т>>(); }}\n"
        "функция главная() {{ целое x = а<целое>(); }}\n",
        буквы("1;", заполнителей));
}

constexpr std::array формы{
    // Ten templates under 975 calls each, 80 and 220 KB with their statements.
    ОбобщённаяФорма{"кольцо_десяти", 20'000, 95'000,
                    [](std::size_t н) { return кольцо(10, 975, н); }},
    // Two templates, 3 and 6 KB.
    ОбобщённаяФорма{"кольцо_двух", 488, 975, [](std::size_t н) { return кольцо(2, н, 0); }},
    // 475 and 950 instances of 980 minuses, 0.5 and 1 MB.
    ОбобщённаяФорма{"цепь_под_минусами", 475, 950,
                    [](std::size_t н) { return цепь_под_минусами(н, 980); }},
    // 0.5 and 1 MB.
    ОбобщённаяФорма{"кольцо_больших_тел", 120'000, 240'000, кольцо_больших_тел},
};

}  // namespace

std::span<const ОбобщённаяФорма> вложенные_формы() {
    return формы;
}

}  // namespace vokra::замер
