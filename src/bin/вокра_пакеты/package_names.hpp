// Package names become folder names inside `пакеты/`.
#pragma once

#include <string_view>

#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// The project's packages folder, relative to the current folder.
fs::path папка_пакетов();

// A name that is empty, ".", "..", ".метаданные", one of the folders the
// program makes for itself, 256 bytes or longer, or that holds '/' would name
// no package folder of its own (or one outside `пакеты/`); one that holds a
// control or bidirectional formatting character (see `управляющий_символ`)
// would make a folder that listings and terminals show as something else. Such
// a name is refused before anything is created or removed.
Итог проверить_имя_пакета(std::string_view имя);

// The folders an install makes inside `пакеты/` while it replaces a package
// (`.вокра_новый_…`, `.вокра_старый_…`). They are never packages; one that
// an interrupted install left behind is removed by the next install.
bool служебная_папка(std::string_view имя);

// Commands that write into `пакеты/` work only with a real folder: one that
// is a link (or a file) would take their writes and removals elsewhere. A
// missing folder passes.
Итог проверить_папку_пакетов();

}  // namespace vokra::пакеты
