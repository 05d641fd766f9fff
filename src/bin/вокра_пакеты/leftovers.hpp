// Temporary folders and files of this program, and what an install that was
// killed outright left of them.
#pragma once

#include <string>

#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// The beginning of the name of every temporary folder this process makes in
// the temporary folder of the system: "вокра_пакет_<pid>.". Six random
// characters follow.
std::string префикс_временной_папки();

// Removes this user's temporary folders of processes that no longer run.
// Folders of running processes (this one's too) and entries that are not
// plain folders stay.
void убрать_брошенные_временные_папки();

// Removes the temporary files that a replacement of the lock file left in
// the current folder.
void убрать_брошенные_файлы_блокировки();

// Moves the package's folder, in one step, into a new service folder inside
// `пакеты/` (which listings pass over) and gives that folder; the package
// then lies at its path joined with the name. The error is the system's text.
ИтогС<ВременнаяПапка> отодвинуть_пакет(const std::string& имя);

// Removes the service folders that an interrupted command left in `пакеты/`.
void убрать_брошенные_папки_пакетов();

}  // namespace vokra::пакеты
