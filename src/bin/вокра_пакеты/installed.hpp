// `список` and `удалить`: the packages installed in `пакеты/`.
#pragma once

#include <string>

#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

Итог показать_список();

// Refuses while other installed packages require the package, unless forced.
Итог удалить_пакет(const std::string& имя, bool принудительно);

}  // namespace vokra::пакеты
