// Helpers of the analyser tests: texts go through the real lexer and parser.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "lexer/lexer.hpp"
#include "parser/parser.hpp"
#include "semantic/analyser.hpp"

namespace vokra::semantic::тест {

inline parser::Парсер парсер(std::string_view текст) {
    auto токены = Лексер::новый(текст).токенизировать();
    EXPECT_TRUE(токены.has_value()) << текст;
    return parser::Парсер::новый(токены ? std::move(*токены) : СписокТокенов{});
}

// A written type, parsed.
inline ast::Тип синтаксис_типа(std::string_view текст) {
    auto п = парсер(текст);
    auto тип = п.разобрать_тип();
    EXPECT_TRUE(тип.has_value()) << текст;
    return тип ? std::move(*тип) : ast::Тип{};
}

// A written type, converted and printed.
inline std::string тип(std::string_view текст) {
    return в_тексте(преобразовать_тип(синтаксис_типа(текст)));
}

}  // namespace vokra::semantic::тест
