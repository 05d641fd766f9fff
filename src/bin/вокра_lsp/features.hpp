// Hover, completion and go-to-definition, each computed afresh from the
// document's text: the static hints, then the declarations of a new parse.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ast/ast.hpp"
#include "вокра_lsp/protocol.hpp"

namespace vokra::lsp {

// The top-level declarations of the text, or nothing when it does not lex or
// parse (the error is dropped).
std::optional<std::vector<vokra::ast::ВерхнийУзел>> попытаться_разобрать(std::string_view текст);

// The Markdown text of a hover at a 0-based line and code-point character.
std::optional<std::string> собрать_hover(std::string_view текст, std::uint32_t строка,
                                         std::uint32_t символ);

// The completion items: the 62 static hints, then one per top-level
// declaration when the text parses.
nlohmann::json собрать_автодополнение(std::string_view текст);

// A zero-width location at a 1-based line and column of the text, or null.
nlohmann::json построить_location_ответ(const std::string& uri, std::string_view текст,
                                        std::optional<vokra::ast::Позиция> позиция);

// The protocol answers, given the document's text (empty when not open) and a
// position whose character is already counted in code points.
nlohmann::json ответ_hover(std::string_view текст, Позиция позиция);
nlohmann::json ответ_автодополнение(std::string_view текст);
nlohmann::json ответ_определение(const std::string& uri, std::string_view текст, Позиция позиция);

}  // namespace vokra::lsp
