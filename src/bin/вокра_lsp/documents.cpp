#include "вокра_lsp/documents.hpp"

#include "semantic/text_hash.hpp"

namespace vokra::lsp {

std::size_t ХешАдреса::operator()(const std::string& адрес) const {
    return static_cast<std::size_t>(semantic::хеш_текста(адрес));
}

}  // namespace vokra::lsp
