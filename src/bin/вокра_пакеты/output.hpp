// Progress, warnings and listings go to standard output one line at a time.
#pragma once

#include <fmt/core.h>

#include <cstdio>
#include <utility>

namespace вокра_пакеты {

template <typename... Аргументы>
void вывести_строку(fmt::format_string<Аргументы...> шаблон, Аргументы&&... аргументы) {
    fmt::print(stdout, шаблон, std::forward<Аргументы>(аргументы)...);
    std::fputc('\n', stdout);
}

}  // namespace вокра_пакеты
