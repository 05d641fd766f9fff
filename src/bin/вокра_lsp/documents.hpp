// The document store: the full current text of every open document, keyed by
// its normalised URI (uri.hpp).
#pragma once

#include <string>
#include <unordered_map>

namespace vokra::lsp {

using Документы = std::unordered_map<std::string, std::string>;

}  // namespace vokra::lsp
