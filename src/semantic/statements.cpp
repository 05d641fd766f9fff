#include "semantic/analyser.hpp"

namespace vokra::semantic {

Итог<void> СемантическийАнализатор::проверить_блок(const ast::Блок&) {
    return {};
}

Итог<РешённыйТип> СемантическийАнализатор::решить_тип_объявления(const ast::Тип&,
                                                                 const ast::Выражение&,
                                                                 const std::string&) {
    return неизвестный_тип();
}

Итог<РешённыйТип> СемантическийАнализатор::тип_места_записи(const ast::МестоЗаписи&) {
    return неизвестный_тип();
}

}  // namespace vokra::semantic
