// The index rewrite. Indexing is written like a call, x(i), so the parser
// builds calls; this pass, run once over a parsed program, turns the calls
// that are really element access or array literals into those nodes. It
// decides by the program's own names and never fails.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "ast/ast.hpp"
#include "unicode/text_hash.hpp"

namespace vokra::indexes {

// The names are the document's: they are hashed under the process's key, so
// that no text can choose names that all fall into one bucket.
struct ХешИмени {
    std::size_t operator()(std::string_view имя) const { return unicode::хеш_текста(имя); }
};
using Имена = std::unordered_set<std::string, ХешИмени>;

struct Контекст {
    // Fields of every structure.
    Имена имена_полей;
    // Methods of every structure and contract.
    Имена имена_методов;
    // Every name declared anywhere in the function being rewritten.
    Имена локальные_имена;
};

void развернуть_индексы(std::vector<ast::ВерхнийУзел>& узлы);

// Adds the names declared anywhere in a body, nested blocks included.
void собрать_имена(const ast::Блок& блок, Имена& имена);

void блок(const Контекст& контекст, ast::Блок& блок);
void место_записи(const Контекст& контекст, ast::МестоЗаписи& место);
void выражение(const Контекст& контекст, ast::Выражение& выражение);

}  // namespace vokra::indexes
