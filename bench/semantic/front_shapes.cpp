#include "front_shapes.hpp"

#include <fmt/format.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "names_stream.hpp"
#include "texts.hpp"

namespace vokra::замер {

namespace {

// A function that prints one text literal holding `внутри`.
std::string в_тексте(std::string_view внутри) {
    return fmt::format("функция главная() {{\n    целое x = 1;\n    вывести(\"{}\");\n}}\n",
                       внутри);
}

// Names of ten Latin letters whose std::hash<std::string> falls into one of
// eight buckets of a std::unordered_set that holds `n` names: under that
// fixed hash every such set keeps them in eight chains, and each lookup
// walks one.
std::vector<std::string> сталкивающиеся_в_наборе(std::size_t n) {
    std::unordered_set<std::string> пробный;
    for (std::size_t i = 0; i < n; ++i)
        пробный.insert(std::to_string(i));
    const std::size_t корзин = пробный.bucket_count();
    return имена_из_потока(
        n, [&](const std::string& имя) { return std::hash<std::string>{}(имя) % корзин < 8; });
}

// `локальных` local names and calls of a function whose name falls among
// them, one for every two names: each call asks the set of local names.
std::string сталкивающиеся_локальные(std::size_t локальных) {
    const auto имена = сталкивающиеся_в_наборе(локальных + 1);
    const std::string& функция = имена.back();
    std::string текст = fmt::format(
        "функция {}(целое x): целое\nвернуть x;\nконец\n"
        "функция главная()\n",
        функция);
    for (std::size_t i = 0; i < локальных; ++i)
        текст += fmt::format("целое {} = 1;\n", имена[i]);
    for (std::size_t i = 0; i < локальных / 2; ++i)
        текст += fmt::format("{}(1);\n", функция);
    return текст + "конец\n";
}

// `уровней` calls a<b>(…) around one call of `аргументов` arguments that a
// name then ends too early: each level is read as a typed call first.
std::string типовые_вызовы_вокруг_списка(std::size_t уровней, std::size_t аргументов) {
    return fmt::format("функция главная() {{\n    x = {}g({}1) i{};\n}}\n", буквы("a<b>(", уровней),
                       буквы("1,", аргументов - 1), буквы(")", уровней));
}

// Statements comparing `a` across runs of `<` each closed by the `>` after
// them: a<a<…<a>>a>>a…; every `<` is closed, so types are tried at each.
std::string закрытые_угловые(std::size_t операторов, std::size_t вложенность) {
    const std::string оператор =
        fmt::format("y = {}a{};\n", буквы("a<", вложенность), буквы(">>a", вложенность / 2));
    return fmt::format("функция главная() {{\nцелое a = 1;\nцелое y = 1;\n{}}}\n",
                       буквы(оператор, операторов));
}

constexpr std::array формы{
    // 500 000 bytes of `%(` with no `)%` at the larger size.
    ОбобщённаяФорма{"незакрытые_проценты", 62'500, 250'000,
                    [](std::size_t н) { return в_тексте(буквы("%(", н)); }},
    // `%(%(…))`: every `(` is matched, by no `)%`.
    ОбобщённаяФорма{"вложенные_проценты", 15'000, 60'000,
                    [](std::size_t н) { return в_тексте(буквы("%(", н) + буквы(")", н)); }},
    ОбобщённаяФорма{"доллары", 65'000, 260'000,
                    [](std::size_t н) { return в_тексте(буквы("$x", н)); }},
    ОбобщённаяФорма{"сталкивающиеся_локальные", 6'250, 25'000, сталкивающиеся_локальные},
    ОбобщённаяФорма{"типовые_вызовы_вокруг_списка", 60, 240,
                    [](std::size_t н) { return типовые_вызовы_вокруг_списка(н, н * 2000); }},
    ОбобщённаяФорма{"закрытые_угловые", 140, 560,
                    [](std::size_t н) { return закрытые_угловые(н, 500); }},
    // 500 000 one-byte statements, 1 MB, at the larger size.
    ОбобщённаяФорма{
        "однобайтовые_операторы", 125'000, 500'000,
        [](std::size_t н) { return fmt::format("функция главная() {{\n{}}}\n", буквы("1;", н)); }},
    ОбобщённаяФорма{"однобайтовые_аргументы", 125'000, 500'000,
                    [](std::size_t н) {
                        return fmt::format("функция главная() {{\nвывести({}1);\n}}\n",
                                           буквы("1,", н - 1));
                    }},
};

}  // namespace

std::span<const ОбобщённаяФорма> формы_разбора() {
    return формы;
}

}  // namespace vokra::замер
