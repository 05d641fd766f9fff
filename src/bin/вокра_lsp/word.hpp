// The identifier under the editor's cursor.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vokra::lsp {

// The run of word characters (letters, numeric characters, '_') at a 0-based
// line and code-point character of the text. A cursor just after a word, on a
// space, a bracket or the line's end, still picks that word; a character past
// the line's end means its last character. Lines end at line feeds, a CR
// before the feed belongs to the line ending.
std::optional<std::string> слово_под_курсором(std::string_view текст, std::uint32_t строка,
                                              std::uint32_t символ);

}  // namespace vokra::lsp
