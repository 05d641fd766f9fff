// The index rewrite. Indexing is written like a call, x(i), so the parser
// builds calls; this pass, run once over a parsed program, turns the calls
// that are really element access or array literals into those nodes. It
// decides by the program's own names and never fails.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "ast/ast.hpp"

namespace vokra::indexes {

struct Контекст {
    // Fields of every structure.
    std::unordered_set<std::string> имена_полей;
    // Methods of every structure and contract.
    std::unordered_set<std::string> имена_методов;
    // Every name declared anywhere in the function being rewritten.
    std::unordered_set<std::string> локальные_имена;
};

void развернуть_индексы(std::vector<ast::ВерхнийУзел>& узлы);

// Adds the names declared anywhere in a body, nested blocks included.
void собрать_имена(const ast::Блок& блок, std::unordered_set<std::string>& имена);

void блок(const Контекст& контекст, ast::Блок& блок);
void место_записи(const Контекст& контекст, ast::МестоЗаписи& место);
void выражение(const Контекст& контекст, ast::Выражение& выражение);

}  // namespace vokra::indexes
