#include "installed.hpp"

namespace вокра_пакеты {
Итог показать_список() {
    return неудача("ещё не сделано");
}
Итог удалить_пакет(const std::string&, bool) {
    return неудача("ещё не сделано");
}
}  // namespace вокра_пакеты
