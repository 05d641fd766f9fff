#include "вокра_lsp/positions.hpp"

#include <limits>

#include "unicode/lines.hpp"
#include "unicode/unicode.hpp"

namespace vokra::lsp {

namespace {

std::uint32_t сложить(std::uint64_t а, std::uint64_t б) {
    const std::uint64_t сумма = а + б;
    return сумма > std::numeric_limits<std::uint32_t>::max()
               ? std::numeric_limits<std::uint32_t>::max()
               : static_cast<std::uint32_t>(сумма);
}

}  // namespace

std::uint32_t в_единицы_utf16(std::string_view строка, std::uint32_t символов) {
    const std::u32string символы = vokra::unicode::декодировать(строка);
    std::uint64_t единиц = 0;
    std::uint32_t пройдено = 0;
    for (; пройдено < символов && пройдено < символы.size(); ++пройдено)
        единиц += vokra::unicode::длина_utf16(символы[пройдено]);
    return сложить(единиц, символов - пройдено);
}

std::uint32_t в_символы(std::string_view строка, std::uint32_t единиц) {
    const std::u32string символы = vokra::unicode::декодировать(строка);
    std::uint64_t пройдено_единиц = 0;
    std::uint32_t символов = 0;
    for (; символов < символы.size(); ++символов) {
        const std::uint64_t дальше =
            пройдено_единиц + vokra::unicode::длина_utf16(символы[символов]);
        if (дальше > единиц)
            return символов;
        пройдено_единиц = дальше;
    }
    return сложить(символов, единиц - пройдено_единиц);
}

Позиция позиция_в_utf16(std::string_view текст, Позиция позиция) {
    return {позиция.строка,
            в_единицы_utf16(unicode::строка_с_возвратом_каретки(текст, позиция.строка),
                            позиция.символ)};
}

Позиция позиция_в_символах(std::string_view текст, Позиция позиция) {
    return {позиция.строка,
            в_символы(unicode::строка_с_возвратом_каретки(текст, позиция.строка), позиция.символ)};
}

}  // namespace vokra::lsp
