#pragma once

// Reading the text that `вокра_пакеты список` prints into the three columns
// of the packages table, and how much of the table the window shows.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vokra::panel {

// The table's header row has its top at this y; data row n (from 1) at
// ВЕРХ_ТАБЛИЦЫ_ПАКЕТОВ + n · ВЫСОТА_СТРОКИ_ТАБЛИЦЫ.
inline constexpr std::int32_t ВЕРХ_ТАБЛИЦЫ_ПАКЕТОВ = 130;
inline constexpr std::int32_t ВЫСОТА_СТРОКИ_ТАБЛИЦЫ = 30;

// How many of `пакетов` data rows have their top inside the window. The table
// does not scroll, so the rows further down are never drawn.
std::size_t видимых_строк_пакетов(std::size_t пакетов);

// Appends one entry per package to each list. A package line begins with
// exactly two spaces; its "    источник: " and "    описание: " lines give the
// other two columns, "—" when absent. Every text is cut to a line of the
// window (`СИМВОЛОВ_В_СТРОКЕ_ОКНА`).
void разобрать_пакеты(std::string_view вывод, std::vector<std::string>& имена,
                      std::vector<std::string>& источники, std::vector<std::string>& описания);

}  // namespace vokra::panel
