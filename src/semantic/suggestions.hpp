// Hints for undeclared names: the closest known name by edit distance over
// characters, if it is close enough for the length of the unknown name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vokra::semantic {

// Levenshtein distance with unit costs over Unicode code points.
std::size_t расстояние_левенштейна(std::string_view а, std::string_view б);
// The same distance when it is at most `предел`, else `предел` + 1; time
// proportional to the length times the limit.
std::size_t расстояние_левенштейна_до(std::string_view а, std::string_view б, std::size_t предел);

// The closest candidate within the threshold (1 up to 5 characters, 2 up to
// 8, 3 beyond); among equally close ones the first in the given order. A
// candidate equal to the name is never chosen.
const std::string* найти_похожее_имя(std::string_view имя,
                                     const std::vector<std::string>& кандидаты);

// " (может, вы имели в виду '…'?)" with the chosen candidate, or "".
std::string подсказка_похожего_имени(std::string_view имя,
                                     const std::vector<std::string>& кандидаты);
std::string подсказка_похожего_имени(std::string_view имя,
                                     const std::vector<const std::string*>& кандидаты);

}  // namespace vokra::semantic
