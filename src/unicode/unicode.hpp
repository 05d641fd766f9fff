// UTF-8 decoding and the character classes of the language, shared by the
// lexer, the parser's interpolation pieces, the language server and the
// package manager so that all of them agree on what a letter or a space is.
#pragma once

#include <string>
#include <string_view>

namespace vokra::unicode {

inline constexpr char32_t заменяющий_символ = U'\uFFFD';

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

// Removes White_Space characters from both ends.
std::string_view обрезать(std::string_view текст);

// Number of UTF-16 code units that one code point takes.
inline std::size_t длина_utf16(char32_t символ) {
    return символ >= 0x10000 ? 2 : 1;
}

}  // namespace vokra::unicode
