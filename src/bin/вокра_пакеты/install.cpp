#include "install.hpp"

namespace вокра_пакеты {
Итог установить_зависимости(bool) {
    return неудача("ещё не сделано");
}
}  // namespace вокра_пакеты
