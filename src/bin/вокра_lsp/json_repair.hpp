// The characters of a message body that no JSON parser takes, made into
// U+FFFD before it is read: a byte that does not belong to a well-formed
// UTF-8 sequence (as unicode::прочитать_символ tells them) and, inside a
// string, an escaped surrogate that is not half of a pair. Such a body is
// then read as any other, so its message is handled instead of dropped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vokra::lsp {

// The repaired body, with spare capacity for decoding in place; nothing when
// it holds nothing to repair. One pass over its bytes.
std::optional<std::string> починить_json(std::string_view тело);

}  // namespace vokra::lsp
