// Progress, warnings and listings go to standard output one line at a time.
#pragma once

#include <fmt/core.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

// Texts in the holes come from manifests, catalogues, repositories and
// folder names; they are shown without their control characters. Numbers
// pass as they are.
template <typename Значение>
decltype(auto) для_вывода(Значение&& значение) {
    if constexpr (std::is_convertible_v<const Значение&, std::string_view>)
        return для_показа(std::string_view(значение));
    else
        return std::forward<Значение>(значение);
}

template <typename... Аргументы>
void вывести_строку(fmt::format_string<Аргументы...> шаблон, Аргументы&&... аргументы) {
    fmt::vprint(stdout, шаблон, fmt::make_format_args(для_вывода(аргументы)...));
    std::fputc('\n', stdout);
}

}  // namespace vokra::пакеты
