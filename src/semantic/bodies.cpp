#include "semantic/analyser.hpp"

namespace vokra::semantic {

Итог<void> СемантическийАнализатор::проверить_функцию(const ast::ОбъявлениеФункции&) {
    return {};
}

Итог<void> СемантическийАнализатор::проверить_метод(const std::string&,
                                                    const ast::ОбъявлениеФункции&) {
    return {};
}

bool блок_гарантирует_возврат(const ast::Блок&) {
    return false;
}

bool блок_содержит_прерывание(const ast::Блок&) {
    return false;
}

}  // namespace vokra::semantic
