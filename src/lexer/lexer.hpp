// The lexer: one source text to the list of positioned tokens, or the first
// lexical error. Lines, columns and indices count code points.
#pragma once

#include <string>
#include <string_view>
#include <tl/expected.hpp>
#include <vector>

#include "token/token.hpp"

namespace vokra {

struct Лексер {
    std::u32string символы;
    std::size_t индекс = 0;
    std::size_t строка = 1;
    std::size_t столбец = 1;

    static Лексер новый(std::string_view текст);

    // Tokenizes the rest of the text. The list always ends with exactly one
    // КонецФайла; the first error ends tokenization and returns no tokens.
    tl::expected<std::vector<ТокенСПозицией>, ОшибкаЛексера> токенизировать();
};

}  // namespace vokra
