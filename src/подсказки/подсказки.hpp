// What the editor shows about the language itself: the static hints for
// keywords, type names and built-in functions.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

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

}  // namespace vokra::подсказки
