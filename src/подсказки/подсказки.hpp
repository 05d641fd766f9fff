// What the editor shows about the language itself: the static hints for
// keywords, type names and built-in functions, and types rendered as source.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ast/ast.hpp"

namespace vokra::подсказки {

enum class ВидПодсказки : std::uint8_t { Ключевое, ТипДанных, ВстроеннаяФункция };

struct СтатическаяПодсказка {
    std::string_view метка;
    std::string_view описание;
    std::string_view пример;  // empty when the hint has none
    ВидПодсказки вид;
};

// The 62 hints in their fixed order; a new list on every call.
std::vector<СтатическаяПодсказка> статические_подсказки();

// A type annotation back in source form: "Словарь из текст и целое",
// "целое(2)(3)", "результат из Узел?".
std::string тип_в_текст(const ast::Тип& тип);

}  // namespace vokra::подсказки
