// Package names become folder names inside `пакеты/`.
#pragma once

#include <string_view>

#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// The project's packages folder, relative to the current folder.
fs::path папка_пакетов();

// A name that is empty, begins with '.' (".", "..", ".метаданные", ".git",
// the folders the program makes for itself), is 256 bytes or longer, or holds
// '/' would name no package folder of its own, one outside `пакеты/`, or one
// that tools pass over; one that holds ',' or '=' would not read back from the
// metadata as it was written. One that holds a control or bidirectional
// formatting character (see `управляющий_символ`), any other invisible
// formatting character (Unicode's class Cf) or a line or paragraph separator
// would look like another name in listings and terminals, or break a line of
// the metadata. Such a name is refused before anything is created or removed.
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
