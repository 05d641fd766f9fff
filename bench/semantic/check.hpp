// The whole check of a text: parsed, then checked with every node in the
// main file, keeping the tree or as the language server does; and the time
// of a check as a multiple of the server's check of the generated 10 000-line
// program, the measure of the texts built to be slow.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../parser/program.hpp"
#include "parser/parser.hpp"
#include "semantic/analyser.hpp"
#include "вокра_lsp/memory.hpp"

namespace vokra::замер {

inline std::vector<ast::ВерхнийУзел> разобрать(std::string_view текст) {
    auto узлы = parser::разобрать_исходный_текст(текст);
    return узлы ? std::move(*узлы) : std::vector<ast::ВерхнийУзел>{};
}

inline semantic::Итог<void> проверить(const std::vector<ast::ВерхнийУзел>& узлы) {
    auto анализатор = semantic::СемантическийАнализатор::новый();
    const std::vector<std::optional<std::string>> модуль_узла(узлы.size());
    return анализатор.проверить_программу(узлы, {}, модуль_узла);
}

// As the language server checks a document: lexer and parser, then the
// analyser, which frees each body once checked.
inline semantic::Итог<void> проверить_как_сервер(std::string_view текст) {
    auto узлы = parser::разобрать_исходный_текст(текст);
    if (!узлы)
        return semantic::ошибка("the text does not parse");
    const std::vector<std::optional<std::string>> модуль_узла(узлы->size());
    return semantic::СемантическийАнализатор::новый().проверить_программу_освобождая_тела(
        *узлы, {}, модуль_узла);
}

// How many times as long as the whole check of the generated 10 000-line
// program one run of each step takes: the median of `раундов` rounds, each
// timing the program's check and then every step, one right after the other,
// after a round that warms the caches when `прогреть` is set. All are
// measured under the same load, so a burst of other work on the machine
// changes them alike.
// The medians of the multiples of every step, and the median time of the
// program's check in seconds.
template <std::size_t N>
struct Кратности {
    std::array<double, N> шагов{};
    double секунд_программы = 0;
};

template <std::size_t N>
Кратности<N> кратности_программы(const std::array<std::function<void()>, N>& шаги,
                                 std::size_t раундов = 9, bool прогреть = true) {
    using Часы = std::chrono::steady_clock;
    static const std::string программа_10000 = [] {
        std::size_t строк = 0;
        return программа(10'000, строк);
    }();
    lsp::настроить_память();
    auto секунд = [](auto&& работа) {
        const auto начало = Часы::now();
        работа();
        return std::chrono::duration<double>(Часы::now() - начало).count();
    };
    auto программа_целиком = [] {
        benchmark::DoNotOptimize(проверить_как_сервер(программа_10000));
    };
    if (прогреть) {
        программа_целиком();
        for (const auto& шаг : шаги)
            шаг();
    }
    auto медиана = [](std::vector<double>& значения) {
        std::ranges::nth_element(
            значения, значения.begin() + static_cast<std::ptrdiff_t>(значения.size() / 2));
        return значения[значения.size() / 2];
    };
    std::array<std::vector<double>, N> кратности;
    std::vector<double> эталоны;
    for (std::size_t раунд = 0; раунд < std::max<std::size_t>(раундов, 1); ++раунд) {
        эталоны.push_back(секунд(программа_целиком));
        for (std::size_t i = 0; i < N; ++i)
            кратности[i].push_back(секунд(шаги[i]) / эталоны.back());
    }
    Кратности<N> итог;
    for (std::size_t i = 0; i < N; ++i)
        итог.шагов[i] = медиана(кратности[i]);
    итог.секунд_программы = медиана(эталоны);
    return итог;
}

template <class Шаг>
double кратность_программы(Шаг шаг) {
    return кратности_программы<1>({std::function<void()>(шаг)}).шагов[0];
}

}  // namespace vokra::замер
