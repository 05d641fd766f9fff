#include "semantic/analyser.hpp"

namespace vokra::semantic {

Итог<void> СемантическийАнализатор::проверить_программу(
    const std::vector<ast::ВерхнийУзел>&, const Модули& модули,
    const std::vector<std::optional<std::string>>&) {
    this->модули = модули;
    return {};
}

}  // namespace vokra::semantic
