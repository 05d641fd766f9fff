// A generator of realistic source texts: contracts, structures with fields
// and methods, generic functions, lists, dictionaries, results, loops,
// conditions and interpolated texts. The texts pass the whole check, lexer,
// parser and analyser, without any error.
#pragma once

#include <string>

namespace vokra::замер {

// A program of about `строк` lines; the exact count is returned in `итого`.
std::string программа(std::size_t строк, std::size_t& итого);

}  // namespace vokra::замер
