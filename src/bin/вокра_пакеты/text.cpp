#include "вокра_пакеты/text.hpp"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>

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

bool управляющий_символ(char32_t символ) {
    return символ < 0x20 || (символ >= 0x7F && символ <= 0x9F) || символ == 0x200E ||
           символ == 0x200F || (символ >= 0x202A && символ <= 0x202E) ||
           (символ >= 0x2066 && символ <= 0x2069);
}

bool есть_управляющий_символ(std::string_view текст) {
    const std::u32string символы = vokra::unicode::декодировать(текст);
    return std::any_of(символы.begin(), символы.end(), управляющий_символ);
}

namespace {

constexpr std::string_view многоточие = "…";

// The byte after the first `предел` characters, or the end of a shorter
// text. An ill-formed byte counts as one character: it is shown as one U+FFFD.
std::size_t конец_начала(std::string_view текст, std::size_t предел) {
    std::size_t позиция = 0;
    for (std::size_t символов = 0; символов < предел && позиция < текст.size(); ++символов)
        позиция += vokra::unicode::прочитать_символ(текст, позиция).байтов;
    return позиция;
}

// The byte where the last `предел` characters begin, or 0 for a shorter
// text. No character is longer than four bytes, so only the end of the text
// is read, from the start of a character.
std::size_t начало_конца(std::string_view текст, std::size_t предел) {
    const std::size_t окно = 4 * (предел + 1);
    std::size_t начало = текст.size() > окно ? текст.size() - окно : 0;
    for (int шаг = 0;
         шаг < 3 && начало > 0 && (static_cast<unsigned char>(текст[начало]) & 0xC0) == 0x80; ++шаг)
        --начало;
    std::vector<std::size_t> начала;
    for (std::size_t позиция = начало; позиция < текст.size();
         позиция += vokra::unicode::прочитать_символ(текст, позиция).байтов)
        начала.push_back(позиция);
    return начала.size() > предел ? начала[начала.size() - предел] : начало;
}

}  // namespace

std::string для_показа(std::string_view текст, std::size_t предел) {
    const std::size_t конец = предел == без_предела ? текст.size() : конец_начала(текст, предел);
    std::u32string символы = vokra::unicode::декодировать(текст.substr(0, конец));
    for (char32_t& символ : символы)
        if (символ != U'\t' && управляющий_символ(символ))
            символ = vokra::unicode::заменяющий_символ;
    std::string итог = vokra::unicode::закодировать(символы);
    if (конец < текст.size())
        итог += многоточие;
    return итог;
}

std::string строки_для_показа(std::string_view текст, std::size_t предел) {
    if (предел != без_предела) {
        const std::size_t конец = конец_начала(текст, предел / 2);
        const std::size_t начало = начало_конца(текст, предел - предел / 2);
        if (конец < начало)
            return строки_для_показа(текст.substr(0, конец)) + std::string(многоточие) +
                   строки_для_показа(текст.substr(начало));
    }
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
