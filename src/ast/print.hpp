// The printed forms of the syntax tree. A variant without payload prints its
// name, one with a single payload "Имя(x)", one with named fields
// "Имя { поле: значение, … }"; texts print quoted with escapes, fractional
// numbers in their debugging form, lists as "[a, b]", optional values as
// "Some(x)" or "None". Messages of the parser and the analyser quote
// expressions and types in this form.
#pragma once

#include <string>

#include "ast/ast.hpp"

namespace vokra::ast {

std::string отладка(const Выражение& выражение);
std::string отладка(const Тип& тип);
std::string отладка(const ФрагментТекста& фрагмент);
std::string отладка(БинарныйОператор оператор);
std::string отладка(УнарныйОператор оператор);

// The same form for the rest of the tree, for debugging and tests.
std::string отладка(const МестоЗаписи& место);
std::string отладка(const Оператор& оператор);
std::string отладка(const Блок& блок);
std::string отладка(const ОбъявлениеФункции& функция);
std::string отладка(const ВерхнийУзел& узел);

}  // namespace vokra::ast
