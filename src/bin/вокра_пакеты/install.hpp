// `установить`: installs the project's dependency tree into `пакеты/`.
#pragma once

#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// With `игнорировать_блокировку` the lock file is not read and every range is
// resolved afresh from the repositories' tags.
Итог установить_зависимости(bool игнорировать_блокировку);

}  // namespace vokra::пакеты
