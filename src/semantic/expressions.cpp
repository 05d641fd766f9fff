#include "semantic/analyser.hpp"

namespace vokra::semantic {

Итог<РешённыйТип> СемантическийАнализатор::тип_выражения(const ast::Выражение& выражение) {
    if (const auto* вызов = std::get_if<ast::Выражение::ВызовФункции>(&выражение.вид))
        return тип_вызова_функции(*вызов);
    if (const auto* вызов = std::get_if<ast::Выражение::ВызовМетода>(&выражение.вид))
        return тип_вызова_метода(*вызов);
    return неизвестный_тип();
}

Итог<void> СемантическийАнализатор::проверить_доступ_к_полю(const std::string&,
                                                            const std::string&) const {
    return {};
}

Итог<РешённыйТип> тип_бинарной_операции(const РешённыйТип&, ast::БинарныйОператор,
                                        const РешённыйТип&) {
    return неизвестный_тип();
}

}  // namespace vokra::semantic
