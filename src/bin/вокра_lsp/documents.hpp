// The document store: the full current text of every open document, keyed by
// its normalised URI (uri.hpp).
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

namespace vokra::lsp {

// The addresses come from the client: they are hashed under the process's
// own key (unicode/text_hash.hpp), so that no set of them can be chosen to
// fall into one bucket.
struct ХешАдреса {
    std::size_t operator()(const std::string& адрес) const;
};

using Документы = std::unordered_map<std::string, std::string, ХешАдреса>;

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
