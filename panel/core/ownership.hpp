#pragma once

// Whether what stands at a path is in the user's hands: no other user can
// put something else there, because every folder on the way belongs to the
// user or to root and no one else can write into it (in a sticky folder, no
// one else can take away or rename what the user or root put there).

#include <string_view>

namespace vokra::panel {

// For an absolute path, with links followed (each one sits in a folder that
// passed). A missing part is to be made in a folder no one else can write;
// an existing last part must belong to the user or root, and a folder there
// must be closed to others' writes as well. A relative path never passes.
bool путь_в_руках_пользователя(std::string_view путь);

// The installation folder, its layout folders and the programs that the
// tasks run from it all pass `путь_в_руках_пользователя`.
bool папка_установки_в_руках_пользователя(std::string_view папка);

}  // namespace vokra::panel
