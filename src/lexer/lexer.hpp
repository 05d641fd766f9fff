// The lexer: one source text to the list of positioned tokens, or the first
// lexical error. Lines, columns and indices count code points.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <tl/expected.hpp>
#include <vector>

#include "token/token.hpp"
#include "token/token_list.hpp"

namespace vokra {

// Reads the UTF-8 text in place: every character is decoded once, as the
// cursor passes it, and names and texts are copied from the bytes they were
// written with. The text is not copied; it must outlive the lexer.
struct Лексер {
    std::string_view текст;
    // Byte offset of the current character.
    std::size_t байт = 0;
    // The current character and its length in bytes; 0 at the end.
    char32_t символ = 0;
    std::size_t длина = 0;
    // Code-point index, line and column of the current character.
    std::size_t индекс = 0;
    std::size_t строка = 1;
    std::size_t столбец = 1;

    static Лексер новый(std::string_view текст);

    // Tokenizes the rest of the text. The list always ends with exactly one
    // КонецФайла; the first error ends tokenization and returns no tokens.
    tl::expected<СписокТокенов, ОшибкаЛексера> токенизировать();

    // Appends the next tokens of the text to `токены`, at most `не_больше`,
    // for a reader that takes them as it goes. The text's end appends one
    // КонецФайла; an error puts a КонецФайла in place of the token it
    // stopped, so that a reader of the list stops there too, and is returned.
    // Nothing is to be read after a КонецФайла.
    tl::expected<void, ОшибкаЛексера> дописать(СписокТокенов& токены, std::size_t не_больше);
};

}  // namespace vokra
