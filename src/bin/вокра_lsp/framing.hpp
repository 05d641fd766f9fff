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

// Reads the header lines of one message up to the empty line, giving the
// body's length. Nothing when the input ends before a new message begins; an
// error (with its description) when the headers are malformed or lack a
// length.
tl::expected<std::optional<std::size_t>, std::string> прочитать_заголовки(std::istream& вход);

// Appends the `длина` bytes of a body to `тело`, with spare capacity after
// them for decoding in place; an error when the input ends before them. An
// allocation that fails leaves in `тело` exactly the bytes taken from the
// input, so that the caller can read past the rest (пропустить_байты).
tl::expected<void, std::string> прочитать_байты(std::istream& вход, std::size_t длина,
                                                std::string& тело);

// Reads past `сколько` bytes of a body of `длина` bytes without holding them.
tl::expected<void, std::string> пропустить_байты(std::istream& вход, std::size_t сколько,
                                                 std::size_t длина);

// One whole message body: the two reads above. Nothing when the input ends
// before a new message begins.
tl::expected<std::optional<std::string>, std::string> прочитать_тело(std::istream& вход);

// Writes one framed body and flushes it; false when the stream fails.
bool записать_тело(std::ostream& выход, std::string_view тело);

}  // namespace vokra::lsp
