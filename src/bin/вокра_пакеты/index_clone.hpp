// The local clone of the package index lies in the settings folder, which a
// project may hold (HOME empty). git is run in it only while it is as
// `git clone` leaves it: its configuration can name commands, other work
// trees and files to include, and another repository's objects or common
// folder would bring in what they hold.
#pragma once

#include <string>

#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// The clone's remote address, as its configuration names it (empty when it
// names none), or the refusal that names the clone and what is wrong with it.
ИтогС<std::string> проверить_клон_индекса(const fs::path& индекс);

}  // namespace vokra::пакеты
