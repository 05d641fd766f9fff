#include "вокра_пакеты/folder_lock.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "вокра_пакеты/interruption.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/output.hpp"

namespace vokra::пакеты {

namespace {

// How often a waiting command tries the lock again.
constexpr int пауза_мс = 100;

using Папка = std::pair<dev_t, ino_t>;

// The folders this process holds.
std::vector<Папка> занятые;

std::optional<Папка> какая(int дескриптор) {
    struct stat сведения {};
    if (::fstat(дескриптор, &сведения) != 0)
        return std::nullopt;
    return Папка{сведения.st_dev, сведения.st_ino};
}

}  // namespace

ЗамокПапки::~ЗамокПапки() {
    if (папка.номер < 0)
        return;
    if (const auto эта = какая(папка.номер))
        if (const auto место = std::find(занятые.begin(), занятые.end(), *эта);
            место != занятые.end())
            занятые.erase(место);
}

ИтогС<ЗамокПапки> занять_папку(const fs::path& папка) {
    // Close-on-exec: git and what it starts must not hold the lock on.
    Дескриптор открытая(::open(папка.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const auto эта = открытая.номер >= 0 ? какая(открытая.номер) : std::nullopt;
    if (!эта || std::find(занятые.begin(), занятые.end(), *эта) != занятые.end())
        return ЗамокПапки{};
    ЗамокПапки замок(std::move(открытая));
    bool сказано = false;
    // Tried again and again rather than waited for in flock(), which a
    // signal would not break off.
    while (::flock(замок.папка.номер, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return ЗамокПапки{};
        if (!сказано) {
            std::error_code ошибка;
            fs::path полный = fs::absolute(папка, ошибка).lexically_normal();
            if (!полный.has_filename())
                полный = полный.parent_path();
            вывести_строку(тексты::жду_другую_команду, полный.string());
            сказано = true;
        }
        pollfd прерывание{дескриптор_прерывания(), POLLIN, 0};
        ::poll(&прерывание, 1, пауза_мс);
        if (auto итог = проверить_прерывание(); !итог)
            return неудача(итог.error());
    }
    занятые.push_back(*эта);
    return замок;
}

ИтогС<ЗамокПапки> занять_проект() {
    return занять_папку(".");
}

}  // namespace vokra::пакеты
