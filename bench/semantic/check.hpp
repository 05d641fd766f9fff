// The whole check of a text: parsed, then checked with every node in the
// main file, keeping the tree or as the language server does; and the time
// of a check as a multiple of the server's check of the generated 10 000-line
// program, the measure of the texts built to be slow.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
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
// program one run of `шаг` takes: the median of 9 rounds, each timing the
// program's check and `шаг` one right after the other, after a round that
// warms the caches. Both are measured under the same load, so a burst of
// other work on the machine changes the two alike.
template <class Шаг>
double кратность_программы(Шаг шаг) {
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
    программа_целиком();
    шаг();
    std::array<double, 9> кратности{};
    for (double& к : кратности) {
        const double эталон = секунд(программа_целиком);
        к = секунд(шаг) / эталон;
    }
    std::ranges::nth_element(кратности, кратности.begin() + кратности.size() / 2);
    return кратности[кратности.size() / 2];
}

}  // namespace vokra::замер
