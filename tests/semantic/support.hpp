// Helpers of the analyser tests: texts go through the real lexer and parser.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
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

// A text and what its check says: a printed type, "ok" or the exact message.
struct Случай {
    const char* текст;
    const char* итог;
};

// Declares in the current scope each "имя: тип" of a list separated by "; ".
inline void объявить(СемантическийАнализатор& а, std::string_view список) {
    while (!список.empty()) {
        const auto двоеточие = список.find(": ");
        const auto конец = std::min(список.find("; "), список.size());
        а.области.объявить(std::string(список.substr(0, двоеточие)),
                           а.разрешить_тип_параметра(
                               синтаксис_типа(список.substr(двоеточие + 2, конец - двоеточие - 2))),
                           false);
        список.remove_prefix(std::min(конец + 2, список.size()));
    }
}

// The printed type of an expression, or the exact message of its error,
// which carries no line.
inline std::string тип_выражения(СемантическийАнализатор& а, std::string_view текст) {
    auto выражение = парсер(текст).разобрать_выражение();
    if (!выражение)
        return "не разобрано: " + выражение.error().сообщение;
    auto тип = а.тип_выражения(*выражение);
    if (!тип) {
        EXPECT_FALSE(тип.error().строка) << текст;
    }
    return тип ? в_тексте(*тип) : тип.error().сообщение;
}

}  // namespace vokra::semantic::тест
