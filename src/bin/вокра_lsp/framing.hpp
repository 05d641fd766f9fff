// Framing of protocol messages on a byte stream: header lines ending in CRLF,
// among them "Content-Length: " with the body's length in bytes, an empty
// line, then the body.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <tl/expected.hpp>

namespace vokra::lsp {

// A header line longer than this many bytes breaks the framing.
inline constexpr std::size_t предел_строки_заголовка = 4096;

// Reads one message body. Nothing when the input ends before a new message
// begins; an error (with its description) when the headers are malformed,
// lack a length, or the input ends inside a message.
tl::expected<std::optional<std::string>, std::string> прочитать_тело(std::istream& вход);

// Writes one framed body and flushes it; false when the stream fails.
bool записать_тело(std::ostream& выход, std::string_view тело);

}  // namespace vokra::lsp
