#pragma once

// Every user-facing text of the panel, in one place.

#include <fmt/format.h>

#include <string_view>

namespace vokra::panel::сообщения {

// ---- Window, tabs, widgets and dialogs ----

// ---- Tasks, scripts, release check and paths ----

}  // namespace vokra::panel::сообщения
