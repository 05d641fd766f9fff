// UTF-8 decoding and the character classes of the language, shared by the
// lexer, the parser's interpolation pieces, the language server and the
// package manager so that all of them agree on what a letter or a space is.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

namespace vokra::unicode {

inline constexpr char32_t заменяющий_символ = U'\uFFFD';

// One code point read from UTF-8 and the number of bytes it took.
struct ПрочитанныйСимвол {
    char32_t символ;
    std::size_t байтов;
};

namespace подробно {
ПрочитанныйСимвол прочитать_многобайтный(std::string_view utf8, std::size_t позиция);
}

// The code point that starts at byte `позиция` (before the end), read as
// декодировать reads it: a byte that does not start a well-formed sequence
// is U+FFFD and one byte long.
inline ПрочитанныйСимвол прочитать_символ(std::string_view utf8, std::size_t позиция) {
    const auto первый = static_cast<unsigned char>(utf8[позиция]);
    if (первый < 0x80)
        return {первый, 1};
    // Two-byte sequences (Cyrillic among them) are read here too.
    if (первый >= 0xC2 && первый <= 0xDF && позиция + 1 < utf8.size()) {
        const auto второй = static_cast<unsigned char>(utf8[позиция + 1]);
        if ((второй & 0xC0) == 0x80)
            return {static_cast<char32_t>(((первый & 0x1F) << 6) | (второй & 0x3F)), 2};
    }
    return подробно::прочитать_многобайтный(utf8, позиция);
}

// Decodes UTF-8 into code points. Every byte that does not belong to a
// well-formed sequence (stray continuation bytes, overlong forms, surrogates,
// values past U+10FFFF, a sequence cut short by the end) decodes as U+FFFD.
std::u32string декодировать(std::string_view utf8);

// Appends the UTF-8 form of one code point.
void дописать(std::string& куда, char32_t символ);

// Encodes code points as UTF-8.
std::string закодировать(std::u32string_view символы);

// The Unicode White_Space property.
bool пробельный(char32_t символ);

// The derived Alphabetic property of Unicode (not the C library's isalpha).
bool буквенный(char32_t символ);

// The general categories Nd, Nl and No.
bool числовой(char32_t символ);

// A character that may continue a word of the language: a letter, a numeric
// character or '_'.
inline bool символ_слова(char32_t символ) {
    return символ == U'_' || буквенный(символ) || числовой(символ);
}

// символ_слова for every character of the Basic Multilingual Plane, filled
// once; the lexer keeps a reference to it instead of asking per character.
struct СимволыСловаПлоскости {
    std::bitset<0x10000> биты;
    // буквенный for the same characters.
    std::bitset<0x10000> буквы;

    bool operator()(char32_t символ) const {
        return символ < 0x10000 ? биты[символ] : символ_слова(символ);
    }
};
const СимволыСловаПлоскости& символы_слова_плоскости();

// Removes White_Space characters from both ends.
std::string_view обрезать(std::string_view текст);

// Number of UTF-16 code units that one code point takes.
inline std::size_t длина_utf16(char32_t символ) {
    return символ >= 0x10000 ? 2 : 1;
}

}  // namespace vokra::unicode
