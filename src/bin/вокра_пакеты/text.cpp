#include "вокра_пакеты/text.hpp"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "unicode/unicode.hpp"

namespace vokra::пакеты {

std::vector<std::string> слова(std::string_view текст) {
    std::vector<std::string> итог;
    std::u32string слово;
    for (const char32_t символ : vokra::unicode::декодировать(текст)) {
        if (!vokra::unicode::пробельный(символ)) {
            слово.push_back(символ);
        } else if (!слово.empty()) {
            итог.push_back(vokra::unicode::закодировать(слово));
            слово.clear();
        }
    }
    if (!слово.empty())
        итог.push_back(vokra::unicode::закодировать(слово));
    return итог;
}

std::string как_текст(std::string_view байты) {
    return vokra::unicode::закодировать(vokra::unicode::декодировать(байты));
}

std::string для_показа(std::string_view текст) {
    std::u32string символы = vokra::unicode::декодировать(текст);
    for (char32_t& символ : символы)
        if ((символ < 0x20 && символ != U'\t') || (символ >= 0x7F && символ <= 0x9F))
            символ = vokra::unicode::заменяющий_символ;
    return vokra::unicode::закодировать(символы);
}

std::string строки_для_показа(std::string_view текст) {
    std::string итог;
    for (;;) {
        const auto конец = текст.find('\n');
        итог += для_показа(текст.substr(0, конец));
        if (конец == std::string_view::npos)
            return итог;
        итог += '\n';
        текст.remove_prefix(конец + 1);
    }
}

// An ill-formed sequence decodes to U+FFFD, whose three bytes never equal the
// bytes they replace, so only well-formed text survives the round trip.
bool верный_utf8(std::string_view байты) {
    return как_текст(байты) == байты;
}

std::string в_нижний_регистр(std::string_view текст) {
    std::string итог;
    icu::UnicodeString::fromUTF8(icu::StringPiece(текст.data(), static_cast<int32_t>(текст.size())))
        .toLower(icu::Locale::getRoot())
        .toUTF8String(итог);
    return итог;
}

}  // namespace vokra::пакеты
