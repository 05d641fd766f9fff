// Lines of a text. Every reading ends a line at a line feed; they differ in
// a carriage return right before it, so each function's name says which
// reading it is.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace vokra::unicode {

// Lines as an editor shows them: a carriage return right before a line feed
// belongs to the break. A last line without a break counts; the empty rest
// after a final break is no line.
std::vector<std::string_view> строки_без_возврата_каретки(std::string_view текст);

// The 0-based line `номер` of the same reading; nothing past the last line.
std::optional<std::string_view> строка_без_возврата_каретки(std::string_view текст,
                                                            std::size_t номер);

// The 0-based line `номер` as the lexer counts columns: everything up to the
// line feed, a carriage return before it kept as the line's last character.
// Empty past the end.
std::string_view строка_с_возвратом_каретки(std::string_view текст, std::size_t номер);

}  // namespace vokra::unicode
