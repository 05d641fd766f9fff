#include "panel/core/task_folder.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "panel/core/paths.hpp"

namespace vokra::panel {

namespace {

constexpr mode_t режим_папки = 0700;

Дескриптор открыть_папку(const std::string& путь) {
    return Дескриптор(::open(путь.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool своя(const struct stat& сведения) {
    return S_ISDIR(сведения.st_mode) && сведения.st_uid == ::geteuid() &&
           (сведения.st_mode & 07777) == режим_папки;
}

// The folder, open, if the name still leads to it as it was made.
Дескриптор открыть_если_своя(const СделаннаяПапка& папка) {
    Дескриптор открытая = открыть_папку(папка.путь);
    struct stat сведения {};
    if (!открытая.открыт() || ::fstat(открытая.номер, &сведения) != 0 || !своя(сведения) ||
        сведения.st_dev != папка.устройство || сведения.st_ino != папка.узел) {
        return Дескриптор();
    }
    return открытая;
}

tl::expected<ОткрытаяПапка, int> сделать_папку(ПапкиЗадач& папки) {
    std::string образец = временная_папка() + "/vokra_panel.XXXXXX";
    if (::mkdtemp(образец.data()) == nullptr) {
        return tl::unexpected(errno);
    }
    Дескриптор открытая = открыть_папку(образец);
    struct stat сведения {};
    // The mode is set again on the open folder: mkdtemp's 0700 is subject
    // to the process's umask.
    if (!открытая.открыт() || ::fchmod(открытая.номер, режим_папки) != 0 ||
        ::fstat(открытая.номер, &сведения) != 0) {
        const int ошибка = errno;
        ::rmdir(образец.c_str());
        return tl::unexpected(ошибка);
    }
    if (!своя(сведения)) {
        return tl::unexpected(EPERM);
    }
    папки.сделанные.push_back({образец, сведения.st_dev, сведения.st_ino});
    return ОткрытаяПапка{std::move(открытая), std::move(образец)};
}

// Unlinks every entry of the open folder; only the panel's flat files are
// expected there, and a folder among them goes only when it is empty.
void опустошить(int папка) {
    DIR* записи = ::fdopendir(::fcntl(папка, F_DUPFD_CLOEXEC, 0));
    if (записи == nullptr) {
        return;
    }
    while (const dirent* запись = ::readdir(записи)) {
        const char* имя = запись->d_name;
        if (std::strcmp(имя, ".") == 0 || std::strcmp(имя, "..") == 0) {
            continue;
        }
        if (::unlinkat(папка, имя, 0) != 0 && errno == EISDIR) {
            ::unlinkat(папка, имя, AT_REMOVEDIR);
        }
    }
    ::closedir(записи);
}

}  // namespace

tl::expected<ОткрытаяПапка, int> открыть_папку_задач(ПапкиЗадач& папки) {
    if (!папки.сделанные.empty()) {
        const СделаннаяПапка& в_работе = папки.сделанные.back();
        if (Дескриптор открытая = открыть_если_своя(в_работе); открытая.открыт()) {
            return ОткрытаяПапка{std::move(открытая), в_работе.путь};
        }
    }
    return сделать_папку(папки);
}

std::string путь_папки_в_работе(const ПапкиЗадач& папки) {
    return папки.сделанные.empty() ? std::string() : папки.сделанные.back().путь;
}

void убрать_папки_задач(ПапкиЗадач& папки) {
    for (const СделаннаяПапка& папка : папки.сделанные) {
        const Дескриптор открытая = открыть_если_своя(папка);
        if (открытая.открыт()) {
            опустошить(открытая.номер);
            ::rmdir(папка.путь.c_str());
        }
    }
    папки.сделанные.clear();
}

}  // namespace vokra::panel
