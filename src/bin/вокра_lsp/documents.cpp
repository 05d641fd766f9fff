#include "вокра_lsp/documents.hpp"

#include "unicode/text_hash.hpp"

namespace vokra::lsp {

std::size_t ХешАдреса::operator()(const std::string& адрес) const {
    return static_cast<std::size_t>(unicode::хеш_текста(адрес));
}

}  // namespace vokra::lsp
