// The document store: the full current text of every open document, keyed by
// its normalised URI (uri.hpp).
#pragma once

#include <string>
#include <unordered_map>

namespace vokra::lsp {

using Документы = std::unordered_map<std::string, std::string>;

// Stores `текст` as the document's text and frees the text it replaces at
// once: a move-assignment would leave the old buffer in `текст`, alive for as
// long as its owner, which is through the check of the new text.
inline const std::string& сохранить_текст(Документы& документы, const std::string& uri,
                                          std::string&& текст) {
    auto& хранимый = документы[uri];
    хранимый.swap(текст);
    std::string().swap(текст);
    return хранимый;
}

}  // namespace vokra::lsp
