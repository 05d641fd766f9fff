// Declarations rendered the way hover and completion show them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ast/ast.hpp"

namespace vokra::lsp {

// "целое а, текст б"; passing by reference is not shown.
std::string параметры_в_текст(const std::vector<vokra::ast::Параметр>& параметры);

// ": целое", or nothing without a return type.
std::string возврат_в_текст(const std::optional<vokra::ast::Тип>& тип);

// One line "    тип имя;" per field, joined by line feeds.
std::string поля_в_текст(const std::vector<vokra::ast::ПолеСтруктуры>& поля);

}  // namespace vokra::lsp
