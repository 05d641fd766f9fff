// The whole check of a text as the language server reads it: parsed, then
// checked with every node in the main file; and the time of that check over
// the generated 10 000-line program, the measure of the texts built to be
// slow.
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

// Seconds of one whole check of the generated 10 000-line program: the
// median of 9 checks after one that warms the caches, taken once.
inline double секунд_на_программу() {
    static const double секунд = [] {
        using Часы = std::chrono::steady_clock;
        lsp::настроить_память();
        std::size_t строк = 0;
        const std::string текст = программа(10'000, строк);
        benchmark::DoNotOptimize(проверить(разобрать(текст)));
        std::array<double, 9> замеры{};
        for (double& з : замеры) {
            const auto начало = Часы::now();
            benchmark::DoNotOptimize(проверить(разобрать(текст)));
            з = std::chrono::duration<double>(Часы::now() - начало).count();
        }
        std::ranges::nth_element(замеры, замеры.begin() + замеры.size() / 2);
        return замеры[замеры.size() / 2];
    }();
    return секунд;
}

}  // namespace vokra::замер
