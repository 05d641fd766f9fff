#include "panel/core/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vokra::panel {

tl::expected<std::string, int> прочитать_файл(const std::string& путь) {
    return прочитать_начало_файла(путь, std::string::npos);
}

tl::expected<std::string, int> прочитать_начало_файла(const std::string& путь, std::size_t предел) {
    const int файл = ::open(путь.c_str(), O_RDONLY | O_CLOEXEC);
    if (файл < 0) {
        return tl::unexpected(errno);
    }
    std::string текст;
    char буфер[8192];
    while (текст.size() < предел) {
        const ssize_t прочитано =
            ::read(файл, буфер, std::min(sizeof буфер, предел - текст.size()));
        if (прочитано < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int ошибка = errno;
            ::close(файл);
            return tl::unexpected(ошибка);
        }
        if (прочитано == 0) {
            break;
        }
        текст.append(буфер, static_cast<std::size_t>(прочитано));
    }
    ::close(файл);
    return текст;
}

tl::expected<void, int> записать_файл(const std::string& путь, std::string_view текст) {
    const int файл = ::open(путь.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (файл < 0) {
        return tl::unexpected(errno);
    }
    std::size_t записано = 0;
    while (записано < текст.size()) {
        const ssize_t шаг = ::write(файл, текст.data() + записано, текст.size() - записано);
        if (шаг < 0 && errno == EINTR) {
            continue;
        }
        if (шаг <= 0) {
            const int ошибка = шаг < 0 ? errno : EIO;
            ::close(файл);
            return tl::unexpected(ошибка);
        }
        записано += static_cast<std::size_t>(шаг);
    }
    if (::close(файл) != 0) {
        return tl::unexpected(errno);
    }
    return {};
}

bool это_папка(const std::string& путь) {
    struct stat сведения {};
    return ::stat(путь.c_str(), &сведения) == 0 && S_ISDIR(сведения.st_mode);
}

}  // namespace vokra::panel
