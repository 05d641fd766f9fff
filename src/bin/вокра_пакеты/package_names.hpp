// Package names become folder names inside `пакеты/`.
#pragma once

#include <string_view>

#include "files.hpp"
#include "result.hpp"

namespace вокра_пакеты {

// The project's packages folder, relative to the current folder.
fs::path папка_пакетов();

// A name that is empty, ".", "..", ".метаданные", or that holds '/' or a NUL
// byte would name no package folder of its own (or one outside `пакеты/`),
// so it is refused before anything is created or removed.
Итог проверить_имя_пакета(std::string_view имя);

}  // namespace вокра_пакеты
