// Document URIs in the form a WHATWG URL parser prints them, so that every
// spelling of one document keys the same entry of the document store and a
// URI already in that form comes back byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vokra::lsp {

// Lower-cases the scheme and the host of special schemes (a non-ASCII host
// through IDNA), turns "file://localhost/" into "file:///", drops default
// ports, resolves "." and ".." path segments, and percent-encodes spaces,
// controls, non-ASCII bytes and the other characters each part may not hold
// (upper-case hex); existing "%xx" escapes are left exactly as they are.
// Nothing when the text is not an absolute URL.
std::optional<std::string> нормализовать_uri(std::string_view uri);

}  // namespace vokra::lsp
