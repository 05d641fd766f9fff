// One command at a time changes a project or the person's settings folder:
// while it works, the command holds an exclusive flock(2) on the folder
// itself. The kernel drops the lock when the process ends, however it ends,
// so a kill never leaves it held, and nothing is written into the folder.
#pragma once

#include <utility>

#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// Holds the lock while it lives: the lock goes with the descriptor.
struct ЗамокПапки {
    Дескриптор папка;

    ЗамокПапки() = default;
    explicit ЗамокПапки(Дескриптор д) : папка(std::move(д)) {}
    ЗамокПапки(ЗамокПапки&&) noexcept = default;
    ~ЗамокПапки();
};

// Takes the lock of the folder, waiting while another process holds it and
// saying so once. A folder that this process holds already (the settings
// folder may be the project) gives an empty lock instead of waiting for
// itself. An interruption ends the wait with a failure. A folder that
// cannot be opened, or a file system without locks, gives no lock: the
// command goes on and meets the folder's own errors.
ИтогС<ЗамокПапки> занять_папку(const fs::path& папка);

// The project is the current folder.
ИтогС<ЗамокПапки> занять_проект();

}  // namespace vokra::пакеты
