#pragma once

// Byte-level UTF-8 text operations of the panel: characters are found by
// their lead byte alone, and lengths and positions count bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vokra::panel {

// Length of the sequence whose lead byte is at `i`: 1 below 0x80, 2 for
// 110xxxxx, 3 for 1110xxxx, 4 for every other byte.
std::size_t длина_символа(std::string_view текст, std::size_t i);

bool начинается_с(std::string_view текст, std::string_view начало);
bool окончивается_на(std::string_view текст, std::string_view конец);

// Position of the last occurrence of `часть`; none for an empty part too.
std::optional<std::size_t> найти_последнее(std::string_view текст, std::string_view часть);

// Drops blanks and byte-order-mark bytes from the start, blanks from the end.
std::string обрезать_края(std::string_view текст);

// The prefix before the first control character (a byte below 32).
std::string первая_строка(std::string_view текст);

// Every run of spaces, carriage returns and line feeds becomes one space.
std::string в_одну_строку(std::string_view текст);

// At most `n` characters; a cut text ends in "…".
std::string обрезать_символы(std::string_view текст, std::size_t n);

// The most characters one line of the 720-pixel window can show: no visible
// character of the panel's 17-point font is narrower than 3 pixels. Texts
// from outside the panel are cut to it before they are kept or drawn, so that
// drawing them costs the same whatever their length; what the cut drops lies
// beyond the window's right edge.
inline constexpr std::size_t СИМВОЛОВ_В_СТРОКЕ_ОКНА = 240;
// Multi-line texts show at most this many lines.
inline constexpr std::size_t СТРОК_МНОГОСТРОЧНОГО_ТЕКСТА = 20;

// The lines of a multi-line text that can be shown, each cut to a line of
// the window.
std::string обрезать_многострочный_текст(std::string_view текст);

// Inserts line feeds so that no line has more than `ширина` characters; a
// space late in a line (at least `ширина` − 8 characters in) ends the line.
std::string перенести_текст(std::string_view текст, std::int64_t ширина);

// The language description of the overview tab.
std::string описание_языка();

}  // namespace vokra::panel
