#include "panel/core/ownership.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "panel/core/paths.hpp"
#include "panel/core/text.hpp"

namespace vokra::panel {

namespace {

// As many links as the system follows in one path.
constexpr int наибольшее_число_ссылок = 40;

bool свой_владелец(const struct stat& сведения) {
    return сведения.st_uid == ::geteuid() || сведения.st_uid == 0;
}

// Others may write into it: anyone, or the group of a folder that is not
// the user's own.
bool пишут_другие(const struct stat& сведения) {
    return (сведения.st_mode & S_IWOTH) != 0 ||
           ((сведения.st_mode & S_IWGRP) != 0 && сведения.st_uid != ::geteuid());
}

std::string родитель(const std::string& пройдено) {
    const auto черта = найти_последнее(пройдено, "/");
    return черта ? пройдено.substr(0, *черта) : std::string();
}

// Walks the path part by part from the root; `пройдено` holds only real
// folders (never a link), so ".." in it is the folder above.
bool в_руках(const std::string& путь, int ссылок) {
    if (ссылок > наибольшее_число_ссылок || !начинается_с(путь, "/")) {
        return false;
    }
    std::string пройдено;  // empty for the root
    struct stat папка {};
    if (::lstat("/", &папка) != 0) {
        return false;
    }
    for (std::size_t начало = 1; начало <= путь.size();) {
        std::size_t конец = путь.find('/', начало);
        if (конец == std::string::npos) {
            конец = путь.size();
        }
        const std::string часть = путь.substr(начало, конец - начало);
        начало = конец + 1;
        if (часть.empty() || часть == ".") {
            continue;
        }
        if (часть == "..") {
            пройдено = родитель(пройдено);
            if (::lstat(пройдено.empty() ? "/" : пройдено.c_str(), &папка) != 0) {
                return false;
            }
            continue;
        }
        const bool липкая = (папка.st_mode & S_ISVTX) != 0;
        if (!S_ISDIR(папка.st_mode) || !свой_владелец(папка) || (пишут_другие(папка) && !липкая)) {
            return false;
        }
        const std::string следующий = пройдено + "/" + часть;
        struct stat сведения {};
        if (::lstat(следующий.c_str(), &сведения) != 0) {
            // The rest is made inside a folder that only the user and root
            // can write into.
            return errno == ENOENT && !пишут_другие(папка);
        }
        if (S_ISLNK(сведения.st_mode)) {
            std::string цель(4096, '\0');
            const ssize_t длина = ::readlink(следующий.c_str(), цель.data(), цель.size());
            if (длина <= 0 || static_cast<std::size_t>(длина) == цель.size()) {
                return false;
            }
            цель.resize(static_cast<std::size_t>(длина));
            if (!начинается_с(цель, "/")) {
                цель = пройдено + "/" + цель;
            }
            const std::string остаток = начало <= путь.size() ? путь.substr(начало) : "";
            return в_руках(остаток.empty() ? цель : цель + "/" + остаток, ссылок + 1);
        }
        if (!свой_владелец(сведения)) {
            return false;
        }
        пройдено = следующий;
        папка = сведения;
    }
    return !S_ISDIR(папка.st_mode) || !пишут_другие(папка);
}

}  // namespace

bool путь_в_руках_пользователя(std::string_view путь) {
    return в_руках(std::string(путь), 0);
}

bool папка_установки_в_руках_пользователя(std::string_view папка) {
    // A relative folder is where the tasks find it: below the panel's
    // working folder.
    std::string D(папка);
    if (!начинается_с(D, "/")) {
        std::string рабочая(4096, '\0');
        if (::getcwd(рабочая.data(), рабочая.size()) == nullptr) {
            return false;
        }
        D = std::string(рабочая.c_str()) + "/" + D;
    }
    for (const std::string& путь :
         {D, D + "/bin", D + "/share", D + "/lib/vokra", D + "/work", путь_установленного_vokra(D),
          путь_установленного_вокра_пакеты(D)}) {
        if (!путь_в_руках_пользователя(путь)) {
            return false;
        }
    }
    return true;
}

}  // namespace vokra::panel
