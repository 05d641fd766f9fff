// Helpers of the parser tests: texts go through the real lexer.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "ast/print.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace vokra::parser::тест {

inline Парсер парсер(std::string_view текст, bool записывать_правки = false) {
    auto токены = Лексер::новый(текст).токенизировать();
    EXPECT_TRUE(токены.has_value()) << текст;
    auto п = Парсер::новый(токены ? std::move(*токены) : СписокТокенов{});
    п.записывать_правки = записывать_правки;
    return п;
}

// The error as "строка:столбец: сообщение", for one comparison per case.
inline std::string как_текст(const ОшибкаПарсера& ошибка) {
    return std::to_string(ошибка.строка) + ":" + std::to_string(ошибка.столбец) + ": " +
           ошибка.сообщение;
}

// The printed form of what a grammar method read, or its error.
template <class T>
std::string итог(const Итог<T>& итог) {
    if (!итог)
        return как_текст(итог.error());
    return ast::отладка(*итог);
}

inline std::string выражение(std::string_view текст) {
    auto п = парсер(текст);
    return итог(п.разобрать_выражение());
}

inline std::string тип(std::string_view текст) {
    auto п = парсер(текст);
    return итог(п.разобрать_тип());
}

// The whole program's top-level nodes, one printed node per line.
inline std::string программа(std::string_view текст) {
    auto п = парсер(текст);
    auto узлы = п.разобрать_программу();
    if (!узлы)
        return как_текст(узлы.error());
    std::string в;
    for (const auto& узел : *узлы) {
        if (!в.empty())
            в += '\n';
        в += ast::отладка(узел);
    }
    return в;
}

}  // namespace vokra::parser::тест
