#pragma once

// The private folder of the panel's task files. It is made with mkdtemp in
// the temporary folder and checked before each use: a cleaner of /tmp or the
// user may remove it while the panel runs, and anyone may then make a folder
// or a link of the same name there.

#include <sys/types.h>

#include <string>
#include <tl/expected.hpp>
#include <vector>

#include "panel/core/files.hpp"

namespace vokra::panel {

// A folder the panel made, known by its file system identity.
struct СделаннаяПапка {
    std::string путь;
    dev_t устройство = 0;
    ino_t узел = 0;
};

// Every folder made in this run; the last one is in use.
struct ПапкиЗадач {
    std::vector<СделаннаяПапка> сделанные;
};

struct ОткрытаяПапка {
    Дескриптор папка;
    std::string путь;
};

// The folder in use, opened and checked on the open descriptor: the very
// folder made under that name (not a link, nor one made again since), owned
// by the user, mode 0700. When it is gone or is not that, a new folder is
// made and used from then on. The error is the errno of the failed making.
tl::expected<ОткрытаяПапка, int> открыть_папку_задач(ПапкиЗадач& папки);

// The path of the folder in use, unchecked; empty before the first one.
std::string путь_папки_в_работе(const ПапкиЗадач& папки);

// Removes every folder made that is still the panel's own, with the files
// in it; one that was replaced meanwhile is left to whoever owns it.
void убрать_папки_задач(ПапкиЗадач& папки);

}  // namespace vokra::panel
