#include "panel/core/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace vokra::panel {

Дескриптор& Дескриптор::operator=(Дескриптор&& другой) noexcept {
    if (this != &другой) {
        if (номер >= 0) {
            ::close(номер);
        }
        номер = другой.номер;
        другой.номер = -1;
    }
    return *this;
}

Дескриптор::~Дескриптор() {
    if (номер >= 0) {
        ::close(номер);
    }
}

namespace {

// How much of a file a bounded read with cut lines reads at most, as a
// multiple of the text it keeps: lines far longer than their cut are not
// read to their end beyond this.
constexpr std::size_t чтение_на_байт_текста = 16;

// 0 for a regular file, else the error that refuses it.
int ошибка_не_обычного(const struct stat& сведения) {
    if (S_ISREG(сведения.st_mode)) {
        return 0;
    }
    return S_ISDIR(сведения.st_mode) ? EISDIR : EINVAL;
}

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

tl::expected<std::string, int> прочитать_файл(const std::string& путь) {
    return прочитать_начало_файла(путь, std::string::npos);
}

tl::expected<std::string, int> прочитать_начало_файла(const std::string& путь, std::size_t предел,
                                                      std::size_t длина_строки) {
    // Looked at before it is opened, so that no device is ever opened; the
    // open itself does not wait, and what it opened is looked at again.
    struct stat сведения {};
    if (::stat(путь.c_str(), &сведения) != 0) {
        return tl::unexpected(errno);
    }
    if (const int ошибка = ошибка_не_обычного(сведения)) {
        return tl::unexpected(ошибка);
    }
    const Дескриптор файл(::open(путь.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!файл.открыт()) {
        return tl::unexpected(errno);
    }
    return прочитать_начало_открытого(файл.номер, предел, длина_строки);
}

tl::expected<std::string, int> прочитать_начало_открытого(int файл, std::size_t предел,
                                                          std::size_t длина_строки) {
    struct stat сведения {};
    if (::fstat(файл, &сведения) != 0) {
        return tl::unexpected(errno);
    }
    if (const int ошибка = ошибка_не_обычного(сведения)) {
        return tl::unexpected(ошибка);
    }
    std::size_t наибольшее_чтение = предел;
    if (длина_строки != std::string::npos) {
        наибольшее_чтение = предел > std::string::npos / чтение_на_байт_текста
                                ? std::string::npos
                                : предел * чтение_на_байт_текста;
    }
    std::string текст;
    std::size_t в_строке = 0;
    std::size_t прочитано_всего = 0;
    char буфер[65536];
    while (текст.size() < предел && прочитано_всего < наибольшее_чтение) {
        const std::size_t шаг = std::min(sizeof буфер, наибольшее_чтение - прочитано_всего);
        const ssize_t прочитано = ::pread(файл, буфер, шаг, static_cast<off_t>(прочитано_всего));
        if (прочитано < 0) {
            if (errno == EINTR) {
                continue;
            }
            return tl::unexpected(errno);
        }
        if (прочитано == 0) {
            break;
        }
        прочитано_всего += static_cast<std::size_t>(прочитано);
        дописать_с_обрезкой(текст, std::string_view(буфер, static_cast<std::size_t>(прочитано)),
                            длина_строки, в_строке);
    }
    if (текст.size() > предел) {
        текст.resize(предел);
    }
    return текст;
}

tl::expected<void, int> записать_всё(int файл, std::string_view текст) {
    std::size_t записано = 0;
    while (записано < текст.size()) {
        const ssize_t шаг = ::write(файл, текст.data() + записано, текст.size() - записано);
        if (шаг < 0 && errno == EINTR) {
            continue;
        }
        if (шаг <= 0) {
            return tl::unexpected(шаг < 0 ? errno : EIO);
        }
        записано += static_cast<std::size_t>(шаг);
    }
    return {};
}

tl::expected<void, int> записать_файл(const std::string& путь, std::string_view текст) {
    Дескриптор файл(::open(путь.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!файл.открыт()) {
        return tl::unexpected(errno);
    }
    if (auto записан = записать_всё(файл.номер, текст); !записан) {
        return записан;
    }
    if (::close(std::exchange(файл.номер, -1)) != 0) {
        return tl::unexpected(errno);
    }
    return {};
}

bool это_папка(const std::string& путь) {
    struct stat сведения {};
    return ::stat(путь.c_str(), &сведения) == 0 && S_ISDIR(сведения.st_mode);
}

}  // namespace vokra::panel
