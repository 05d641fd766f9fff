#pragma once

// Reading the text that `вокра_пакеты список` prints into the three columns
// of the packages table.

#include <string>
#include <string_view>
#include <vector>

namespace vokra::panel {

// Appends one entry per package to each list. A package line begins with
// exactly two spaces; its "    источник: " and "    описание: " lines give the
// other two columns, "—" when absent.
void разобрать_пакеты(std::string_view вывод, std::vector<std::string>& имена,
                      std::vector<std::string>& источники, std::vector<std::string>& описания);

}  // namespace vokra::panel
