// The README's own commands, as its tests take them: read from the source
// tree when the test runs, so that the tests follow the README.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vokra::readme {

// Empty when the file cannot be read.
std::string текст_readme();

// The body of the first block fenced as "```язык" in the section headed
// "## раздел" (up to the next such heading); nothing when there is none.
std::optional<std::string> блок_раздела(std::string_view readme, std::string_view раздел,
                                        std::string_view язык);

}  // namespace vokra::readme
