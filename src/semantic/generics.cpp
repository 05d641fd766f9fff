#include "semantic/analyser.hpp"

namespace vokra::semantic {

Итог<std::optional<РешённыйТип>>
СемантическийАнализатор::гарантировать_инстанциацию_обобщённой_функции(const std::string&,
                                                                       const ast::Тип&) {
    return std::optional<РешённыйТип>{};
}

Итог<РешённыйТип> СемантическийАнализатор::гарантировать_инстанциацию_обобщённой_структуры(
    const std::string&, const std::vector<ast::Тип>&) {
    return неизвестный_тип();
}

Итог<СигнатураФункции> СемантическийАнализатор::гарантировать_инстанциацию_обобщённого_метода(
    const std::string&, const std::string&, const ast::Тип&) {
    return СигнатураФункции{};
}

ast::Тип подставить_тип(const ast::Тип& тип, const std::string&, const ast::Тип&) {
    return тип;
}

ast::Оператор подставить_тип_в_оператор(const ast::Оператор& оператор, const std::string&,
                                        const ast::Тип&) {
    return оператор;
}

ast::Выражение подставить_тип_в_выражение(const ast::Выражение& выражение, const std::string&,
                                          const ast::Тип&) {
    return выражение;
}

ast::МестоЗаписи подставить_тип_в_место_записи(const ast::МестоЗаписи& место, const std::string&,
                                               const ast::Тип&) {
    return место;
}

ast::Блок подставить_тип_в_блок(const ast::Блок& блок, const std::string&, const ast::Тип&) {
    return блок;
}

}  // namespace vokra::semantic
