#include "panel/core/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vokra::panel {

tl::expected<std::string, int> прочитать_файл(const std::string& путь) {
    return прочитать_начало_файла(путь, std::string::npos);
}

namespace {

// Appends the bytes to the text, each line kept only up to `длина_строки`
// bytes; `в_строке` counts the bytes of the current line met so far. Without
// a bound on lines the bytes go in whole, unsplit.
void дописать_с_обрезкой(std::string& текст, std::string_view байты, std::size_t длина_строки,
                         std::size_t& в_строке) {
    if (длина_строки == std::string::npos) {
        текст.append(байты);
        return;
    }
    while (!байты.empty()) {
        const std::size_t перевод = байты.find('\n');
        const std::string_view часть = байты.substr(0, перевод);
        if (в_строке < длина_строки) {
            текст.append(часть.substr(0, длина_строки - в_строке));
        }
        if (перевод == std::string_view::npos) {
            в_строке += часть.size();
            return;
        }
        текст += '\n';
        в_строке = 0;
        байты.remove_prefix(перевод + 1);
    }
}

}  // namespace

tl::expected<std::string, int> прочитать_начало_файла(const std::string& путь, std::size_t предел,
                                                      std::size_t длина_строки) {
    const int файл = ::open(путь.c_str(), O_RDONLY | O_CLOEXEC);
    if (файл < 0) {
        return tl::unexpected(errno);
    }
    std::string текст;
    std::size_t в_строке = 0;
    char буфер[65536];
    while (текст.size() < предел) {
        const ssize_t прочитано = ::read(файл, буфер, sizeof буфер);
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
        дописать_с_обрезкой(текст, std::string_view(буфер, static_cast<std::size_t>(прочитано)),
                            длина_строки, в_строке);
    }
    ::close(файл);
    if (текст.size() > предел) {
        текст.resize(предел);
    }
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
