#include "unicode/unicode.hpp"

#include <unicode/uchar.h>

#include <algorithm>
#include <bitset>

namespace vokra::unicode {

namespace {

// Length of the sequence a lead byte starts, or 0 for a byte that cannot lead.
int длина_последовательности(unsigned char байт) {
    if (байт < 0x80)
        return 1;
    if (байт >= 0xC2 && байт <= 0xDF)
        return 2;
    if (байт >= 0xE0 && байт <= 0xEF)
        return 3;
    if (байт >= 0xF0 && байт <= 0xF4)
        return 4;
    return 0;
}

bool продолжение(unsigned char байт) {
    return (байт & 0xC0) == 0x80;
}

// The second byte's narrower ranges exclude overlong forms, surrogates and
// values past U+10FFFF.
bool допустимый_второй_байт(unsigned char первый, unsigned char второй) {
    switch (первый) {
        case 0xE0:
            return второй >= 0xA0 && второй <= 0xBF;
        case 0xED:
            return второй >= 0x80 && второй <= 0x9F;
        case 0xF0:
            return второй >= 0x90 && второй <= 0xBF;
        case 0xF4:
            return второй >= 0x80 && второй <= 0x8F;
        default:
            return продолжение(второй);
    }
}

// ICU lookups are cheap but not free; the lexer asks for every character of
// every word, so the Basic Multilingual Plane is answered from bit tables
// filled once.
struct ТаблицыПлоскости {
    std::bitset<0x10000> буквы;
    std::bitset<0x10000> цифры;
};

bool числовой_по_icu(char32_t символ) {
    const auto категория = u_charType(static_cast<UChar32>(символ));
    return категория == U_DECIMAL_DIGIT_NUMBER || категория == U_LETTER_NUMBER ||
           категория == U_OTHER_NUMBER;
}

const ТаблицыПлоскости& таблицы() {
    static const ТаблицыПлоскости готовые = [] {
        ТаблицыПлоскости т;
        for (char32_t с = 0; с < 0x10000; ++с) {
            т.буквы[с] = u_hasBinaryProperty(static_cast<UChar32>(с), UCHAR_ALPHABETIC);
            т.цифры[с] = числовой_по_icu(с);
        }
        return т;
    }();
    return готовые;
}

}  // namespace

ПрочитанныйСимвол подробно::прочитать_многобайтный(std::string_view utf8, std::size_t i) {
    const auto* байты = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char первый = байты[i];
    const int длина = длина_последовательности(первый);
    bool верно =
        длина > 0 && i + длина <= utf8.size() && допустимый_второй_байт(первый, байты[i + 1]);
    for (int k = 2; верно && k < длина; ++k)
        верно = продолжение(байты[i + k]);
    if (!верно)
        return {заменяющий_символ, 1};
    char32_t значение = первый & (0xFF >> (длина + 1));
    for (int k = 1; k < длина; ++k)
        значение = (значение << 6) | (байты[i + k] & 0x3F);
    return {значение, static_cast<std::size_t>(длина)};
}

std::u32string декодировать(std::string_view utf8) {
    std::u32string символы;
    символы.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto прочитанный = прочитать_символ(utf8, i);
        символы.push_back(прочитанный.символ);
        i += прочитанный.байтов;
    }
    return символы;
}

void дописать(std::string& куда, char32_t с) {
    if (с > 0x10FFFF || (с >= 0xD800 && с <= 0xDFFF))
        с = заменяющий_символ;
    if (с < 0x80) {
        куда.push_back(static_cast<char>(с));
    } else if (с < 0x800) {
        куда.push_back(static_cast<char>(0xC0 | (с >> 6)));
        куда.push_back(static_cast<char>(0x80 | (с & 0x3F)));
    } else if (с < 0x10000) {
        куда.push_back(static_cast<char>(0xE0 | (с >> 12)));
        куда.push_back(static_cast<char>(0x80 | ((с >> 6) & 0x3F)));
        куда.push_back(static_cast<char>(0x80 | (с & 0x3F)));
    } else {
        куда.push_back(static_cast<char>(0xF0 | (с >> 18)));
        куда.push_back(static_cast<char>(0x80 | ((с >> 12) & 0x3F)));
        куда.push_back(static_cast<char>(0x80 | ((с >> 6) & 0x3F)));
        куда.push_back(static_cast<char>(0x80 | (с & 0x3F)));
    }
}

std::string закодировать(std::u32string_view символы) {
    std::string текст;
    текст.reserve(символы.size());
    for (char32_t с : символы)
        дописать(текст, с);
    return текст;
}

bool пробельный(char32_t с) {
    switch (с) {
        case 0x09:
        case 0x0A:
        case 0x0B:
        case 0x0C:
        case 0x0D:
        case 0x20:
        case 0x85:
        case 0xA0:
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x205F:
        case 0x3000:
            return true;
        default:
            return с >= 0x2000 && с <= 0x200A;
    }
}

bool буквенный(char32_t с) {
    if (с < 0x80)
        return (с >= U'a' && с <= U'z') || (с >= U'A' && с <= U'Z');
    if (с < 0x10000)
        return таблицы().буквы[с];
    return u_hasBinaryProperty(static_cast<UChar32>(с), UCHAR_ALPHABETIC);
}

bool числовой(char32_t с) {
    if (с < 0x80)
        return с >= U'0' && с <= U'9';
    if (с < 0x10000)
        return таблицы().цифры[с];
    return числовой_по_icu(с);
}

const СимволыСловаПлоскости& символы_слова_плоскости() {
    static const СимволыСловаПлоскости готовые = [] {
        const auto& плоскость = таблицы();
        СимволыСловаПлоскости т;
        т.буквы = плоскость.буквы;
        т.биты = плоскость.буквы | плоскость.цифры;
        т.биты.set(U'_');
        return т;
    }();
    return готовые;
}

std::string_view обрезать(std::string_view текст) {
    // Decode from the front and from the back only as far as the spaces go.
    auto первый_после_пробелов = [&] {
        std::size_t i = 0;
        while (i < текст.size()) {
            const auto длина = std::max(1, длина_последовательности(текст[i]));
            const auto с = декодировать(текст.substr(i, длина));
            if (с.size() != 1 || !пробельный(с[0]))
                break;
            i += длина;
        }
        return i;
    };
    текст.remove_prefix(первый_после_пробелов());
    while (!текст.empty()) {
        std::size_t начало = текст.size() - 1;
        while (начало > 0 && продолжение(текст[начало]) && текст.size() - начало < 4)
            --начало;
        const auto с = декодировать(текст.substr(начало));
        if (с.size() != 1 || !пробельный(с[0]))
            break;
        текст.remove_suffix(текст.size() - начало);
    }
    return текст;
}

}  // namespace vokra::unicode
