#include <variant>

#include "ast/ast.hpp"

namespace vokra::ast {

void удалить_узел(Выражение* выражение) noexcept {
    while (выражение != nullptr) {
        Выражение* операнд = nullptr;
        if (auto* унарное = std::get_if<Выражение::Унарное>(&выражение->вид))
            операнд = унарное->операнд.указатель.release();
        выражение->~Выражение();
        освободить_память_узла(выражение, sizeof(Выражение));
        выражение = операнд;
    }
}

}  // namespace vokra::ast
