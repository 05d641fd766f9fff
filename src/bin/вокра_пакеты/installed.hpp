// `список` and `удалить`: the packages installed in `пакеты/`.
#pragma once

#include <string>

#include "result.hpp"

namespace вокра_пакеты {

Итог показать_список();

// Refuses while other installed packages require the package, unless forced.
Итог удалить_пакет(const std::string& имя, bool принудительно);

}  // namespace вокра_пакеты
