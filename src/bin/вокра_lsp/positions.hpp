// Character offsets at the protocol boundary. The language counts columns in
// code points; clients count a position's character in UTF-16 code units
// (the server announces no other encoding). Within the Basic Multilingual
// Plane, Cyrillic included, both counts agree.
#pragma once

#include <cstdint>
#include <string_view>

#include "вокра_lsp/protocol.hpp"

namespace vokra::lsp {

// UTF-16 units taken by the first `символов` code points of a line; a count
// past the line's end adds one unit per missing character.
std::uint32_t в_единицы_utf16(std::string_view строка, std::uint32_t символов);

// Code points before UTF-16 unit `единиц` of a line (an offset inside a
// surrogate pair counts the character it splits as not reached); an offset
// past the line's end adds one character per missing unit.
std::uint32_t в_символы(std::string_view строка, std::uint32_t единиц);

// The same for whole positions of a text, whose lines are read as the lexer
// counts them: a carriage return before a line feed is a character.
Позиция позиция_в_utf16(std::string_view текст, Позиция позиция);
Позиция позиция_в_символах(std::string_view текст, Позиция позиция);

}  // namespace vokra::lsp
