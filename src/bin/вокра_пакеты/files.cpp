#include "вокра_пакеты/files.hpp"

#include <fcntl.h>
#include <fmt/core.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

std::string текст_ошибки_ос(int номер) {
    return fmt::format("{} (os error {})", std::strerror(номер), номер);
}

std::string текст_ошибки(const std::error_code& код) {
    return fmt::format("{} (os error {})", код.message(), код.value());
}

Дескриптор::~Дескриптор() {
    if (номер >= 0)
        ::close(номер);
}

namespace {

bool записать_всё(int дескриптор, std::string_view данные) {
    while (!данные.empty()) {
        const ssize_t записано = ::write(дескриптор, данные.data(), данные.size());
        if (записано < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        данные.remove_prefix(static_cast<std::size_t>(записано));
    }
    return true;
}

mode_t маска_процесса() {
    const mode_t маска = ::umask(0);
    ::umask(маска);
    return маска;
}

}  // namespace

tl::expected<std::string, ОшибкаЧтения> прочитать_текст_дословно(const fs::path& путь) {
    // O_NONBLOCK keeps a pipe from holding the open; a pipe or a device (a
    // project may hold one, or a link to /dev/zero) is never read, as it may
    // never end. A folder fails in read() below.
    Дескриптор файл{::open(путь.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (файл.номер < 0) {
        const int номер = errno;
        return tl::unexpected(ОшибкаЧтения{номер == ENOENT, текст_ошибки_ос(номер)});
    }
    struct stat сведения {};
    if (::fstat(файл.номер, &сведения) != 0)
        return tl::unexpected(ОшибкаЧтения{false, текст_ошибки_ос(errno)});
    if (!S_ISREG(сведения.st_mode) && !S_ISDIR(сведения.st_mode))
        return tl::unexpected(ОшибкаЧтения{false, тексты::не_обычный_файл});
    // The size is checked first, and the reading stops one byte past the
    // limit all the same: a file may grow, and those of /proc report none.
    const auto слишком_большой = [] {
        return tl::unexpected(ОшибкаЧтения{
            false, fmt::format(тексты::файл_слишком_большой, наибольший_размер_файла >> 20)});
    };
    if (S_ISREG(сведения.st_mode) &&
        static_cast<std::uintmax_t>(сведения.st_size) > наибольший_размер_файла)
        return слишком_большой();
    std::string содержимое;
    char буфер[65536];
    for (;;) {
        const std::size_t можно = наибольший_размер_файла + 1 - содержимое.size();
        const ssize_t прочитано = ::read(файл.номер, буфер, std::min(sizeof буфер, можно));
        if (прочитано == 0)
            break;
        if (прочитано < 0) {
            if (errno == EINTR)
                continue;
            return tl::unexpected(ОшибкаЧтения{false, текст_ошибки_ос(errno)});
        }
        содержимое.append(буфер, static_cast<std::size_t>(прочитано));
        if (содержимое.size() > наибольший_размер_файла)
            return слишком_большой();
    }
    if (!верный_utf8(содержимое))
        return tl::unexpected(ОшибкаЧтения{false, тексты::не_текст_utf8});
    return содержимое;
}

std::string_view без_метки_порядка_байтов(std::string_view текст) {
    if (текст.starts_with(метка_порядка_байтов))
        текст.remove_prefix(метка_порядка_байтов.size());
    return текст;
}

tl::expected<std::string, ОшибкаЧтения> прочитать_текст(const fs::path& путь) {
    auto текст = прочитать_текст_дословно(путь);
    if (текст && текст->starts_with(метка_порядка_байтов))
        текст->erase(0, метка_порядка_байтов.size());
    return текст;
}

Итог записать_атомарно(const fs::path& путь_или_ссылка, std::string_view содержимое,
                       ЧерезСсылку ссылка) {
    // The rename below puts a regular file in a link's place and leaves the
    // link's target as it was, unless the caller asks to write the target.
    fs::path путь = путь_или_ссылка;
    std::error_code ошибка;
    if (ссылка == ЧерезСсылку::в_цель && fs::is_symlink(путь, ошибка))
        if (auto цель = fs::weakly_canonical(путь, ошибка); !ошибка)
            путь = std::move(цель);
    struct stat старый {};
    const bool есть_файл = ::lstat(путь.c_str(), &старый) == 0 && S_ISREG(старый.st_mode);
    if (есть_файл && ::access(путь.c_str(), W_OK) != 0)
        return неудача(текст_ошибки_ос(errno));
    // The root user may write any file, but one made read-only for everybody
    // was meant to stay as it is.
    if (есть_файл && (старый.st_mode & 0222) == 0)
        return неудача(текст_ошибки_ос(EACCES));

    const fs::path папка = путь.has_parent_path() ? путь.parent_path() : fs::path(".");
    std::string временный = (папка / ("." + путь.filename().string() + ".XXXXXX")).string();
    Дескриптор файл{::mkstemp(временный.data())};
    if (файл.номер < 0)
        return неудача(текст_ошибки_ос(errno));

    if (есть_файл && ::geteuid() == 0) {
        // Root replacing a person's file would otherwise leave it to root;
        // should this fail, that is what happens.
        [[maybe_unused]] const int владелец = ::fchown(файл.номер, старый.st_uid, старый.st_gid);
    }
    const mode_t права = есть_файл ? (старый.st_mode & 07777) : 0666 & ~маска_процесса();
    const bool записан = ::fchmod(файл.номер, права) == 0 && записать_всё(файл.номер, содержимое) &&
                         ::fsync(файл.номер) == 0;
    int номер = errno;
    if (записан) {
        const int закрыт = ::close(файл.номер);
        файл.номер = -1;
        if (закрыт == 0 && ::rename(временный.c_str(), путь.c_str()) == 0) {
            отметить_шаг();
            return {};
        }
        номер = errno;
    }
    ::unlink(временный.c_str());
    return неудача(текст_ошибки_ос(номер));
}

Итог скопировать_файл(const fs::path& откуда, const fs::path& куда) {
    Дескриптор источник{::open(откуда.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)};
    struct stat сведения {};
    if (источник.номер < 0 || ::fstat(источник.номер, &сведения) != 0)
        return неудача(текст_ошибки_ос(errno));
    if (!S_ISREG(сведения.st_mode))
        return неудача(тексты::не_обычный_файл);
    Дескриптор копия{::open(куда.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                            сведения.st_mode & 0777)};
    if (копия.номер < 0)
        return неудача(текст_ошибки_ос(errno));
    char буфер[65536];
    for (;;) {
        const ssize_t прочитано = ::read(источник.номер, буфер, sizeof буфер);
        if (прочитано == 0)
            break;
        if (прочитано < 0 && errno == EINTR)
            continue;
        if (прочитано < 0 ||
            !записать_всё(копия.номер,
                          std::string_view(буфер, static_cast<std::size_t>(прочитано))))
            return неудача(текст_ошибки_ос(errno));
    }
    // Some file systems report a full disk only when the file is closed.
    const int закрыт = ::close(копия.номер);
    копия.номер = -1;
    if (закрыт != 0)
        return неудача(текст_ошибки_ос(errno));
    return {};
}

tl::expected<void, int> обменять(const fs::path& первый, const fs::path& второй) {
    if (::renameat2(AT_FDCWD, первый.c_str(), AT_FDCWD, второй.c_str(), RENAME_EXCHANGE) != 0)
        return tl::unexpected(errno);
    отметить_шаг();
    return {};
}

bool лежит_внутри(const fs::path& путь, const fs::path& папка) {
    std::error_code ошибка;
    const fs::path настоящий = fs::weakly_canonical(путь, ошибка);
    if (ошибка)
        return false;
    const fs::path настоящая_папка = fs::canonical(папка, ошибка);
    if (ошибка)
        return false;
    const fs::path относительный = настоящий.lexically_relative(настоящая_папка);
    return !относительный.empty() && *относительный.begin() != ".." &&
           *относительный.begin() != ".";
}

bool ссылка_за_пределы_проекта(const fs::path& путь) {
    std::error_code ошибка;
    if (!fs::is_symlink(путь, ошибка))
        return false;
    const fs::path проект = fs::current_path(ошибка);
    return ошибка || !лежит_внутри(путь, проект);
}

void отметить_шаг() {
    if (после_шага != nullptr)
        после_шага();
}

ВременнаяПапка::~ВременнаяПапка() {
    if (путь.empty())
        return;
    std::error_code пропускаем;
    fs::remove_all(путь, пропускаем);
}

ИтогС<ВременнаяПапка> создать_временную_папку(const fs::path& где, std::string_view префикс) {
    std::string шаблон = (где / (std::string(префикс) + "XXXXXX")).string();
    if (::mkdtemp(шаблон.data()) == nullptr)
        return неудача(текст_ошибки_ос(errno));
    ВременнаяПапка папка{fs::path(шаблон)};
    отметить_шаг();
    return папка;
}

Итог дать_права_новой_папки(const fs::path& папка) {
    if (::chmod(папка.c_str(), 0777 & ~маска_процесса()) != 0)
        return неудача(текст_ошибки_ос(errno));
    return {};
}

fs::path папка_временных_файлов() {
    const char* значение = std::getenv("TMPDIR");
    // Absolute, as git runs in folders of its own there.
    std::error_code ошибка;
    const fs::path папка =
        значение != nullptr && *значение != '\0' ? fs::path(значение) : fs::path("/tmp");
    const fs::path полный = fs::absolute(папка, ошибка);
    return ошибка ? папка : полный;
}

}  // namespace vokra::пакеты
