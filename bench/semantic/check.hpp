// The whole check of a text as the language server reads it: parsed, then
// checked with every node in the main file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "parser/parser.hpp"
#include "semantic/analyser.hpp"

namespace vokra::замер {

inline std::vector<ast::ВерхнийУзел> разобрать(std::string_view текст) {
    auto узлы = parser::разобрать_исходный_текст(текст);
    return узлы ? std::move(*узлы) : std::vector<ast::ВерхнийУзел>{};
}

inline semantic::Итог<void> проверить(const std::vector<ast::ВерхнийУзел>& узлы) {
    auto анализатор = semantic::СемантическийАнализатор::новый();
    const std::vector<std::optional<std::string>> модуль_узла(узлы.size());
    return анализатор.проверить_программу(узлы, {}, модуль_узла);
}

}  // namespace vokra::замер
