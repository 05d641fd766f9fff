#include "semantic/analyser.hpp"

namespace vokra::semantic {

Итог<РешённыйТип> СемантическийАнализатор::тип_вызова_функции(
    const ast::Выражение::ВызовФункции& вызов) {
    for (const auto& аргумент : вызов.аргументы)
        if (auto тип = тип_выражения(аргумент); !тип)
            return tl::unexpected(тип.error());
    return неизвестный_тип();
}

Итог<РешённыйТип> СемантическийАнализатор::тип_вызова_из_модуля(
    const std::string&, const ast::Выражение::ВызовМетода& вызов) {
    for (const auto& аргумент : вызов.аргументы)
        if (auto тип = тип_выражения(аргумент); !тип)
            return tl::unexpected(тип.error());
    return неизвестный_тип();
}

}  // namespace vokra::semantic
