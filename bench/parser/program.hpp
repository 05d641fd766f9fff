// A generator of realistic source texts: structures with fields and
// methods, generic functions, loops, conditions and interpolated texts.
#pragma once

#include <string>

namespace vokra::замер {

// A program of about `строк` lines; the exact count is returned in `итого`.
std::string программа(std::size_t строк, std::size_t& итого);

}  // namespace vokra::замер
