// The person's settings folder `.вокра`: where it is, and what of it a
// project may hold.
#pragma once

#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// HOME (else USERPROFILE) joined with `.вокра`, as an absolute path: an empty
// or relative HOME names a folder against the current one.
ИтогС<fs::path> папка_настроек_вокры();

// Inside the project (HOME empty, or naming a folder of the project) the
// settings folder, the folders on the way to it, the address file and the
// index folder belong to whoever made the project: a link among them that
// leads out of the project is refused, as for the manifest. Elsewhere the
// folder is the person's own and nothing is refused.
Итог проверить_ссылки_настроек(const fs::path& папка);

}  // namespace vokra::пакеты
