// File system helpers: system error texts, strict text reading, atomic
// replacement of a file or a folder and a temporary folder that removes
// itself.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

namespace fs = std::filesystem;

// The operating system's text for an error number, then " (os error N)".
std::string текст_ошибки_ос(int номер);
std::string текст_ошибки(const std::error_code& код);

// Closes a descriptor when it goes out of scope; -1 is none.
struct Дескриптор {
    int номер = -1;

    Дескриптор() = default;
    explicit Дескриптор(int н) : номер(н) {}
    Дескриптор(Дескриптор&& другой) noexcept : номер(другой.номер) { другой.номер = -1; }
    Дескриптор& operator=(Дескриптор&&) = delete;
    Дескриптор(const Дескриптор&) = delete;
    ~Дескриптор();
};

struct ОшибкаЧтения {
    bool нет_файла = false;  // the path names nothing
    std::string текст;
};

// Manifests, lock files, metadata and catalogues are a few kilobytes; a
// larger file is refused before it is read.
inline constexpr std::size_t наибольший_размер_файла = 4 * 1024 * 1024;

// The whole file as UTF-8 text, byte for byte. A folder, an unreadable file,
// one larger than `наибольший_размер_файла` or bytes that are not UTF-8 are
// errors, never an empty text.
tl::expected<std::string, ОшибкаЧтения> прочитать_текст_дословно(const fs::path& путь);

// Some editors begin a UTF-8 file with a byte-order mark; it is no part of
// what the person wrote.
inline constexpr std::string_view метка_порядка_байтов = "\xEF\xBB\xBF";
std::string_view без_метки_порядка_байтов(std::string_view текст);

// The same as `прочитать_текст_дословно` without a leading byte-order mark.
tl::expected<std::string, ОшибкаЧтения> прочитать_текст(const fs::path& путь);

// What a write does when its path is a symbolic link.
enum class ЧерезСсылку {
    нет,     // the link is replaced by a regular file; its target is left untouched
    в_цель,  // the file the link names is replaced
};

// Replaces the file with the given content through a temporary file in the
// same folder and a rename, so readers see the old or the new content and
// never a half-written one. An existing file keeps its permission bits (and,
// for the root user, its owner); a new one, or one that takes a link's place,
// gets 0666 less the process mask. A file that the person may not write, or
// that grants writing to nobody, is not replaced, as writing in place would
// fail. The error is the system's text.
Итог записать_атомарно(const fs::path& путь, std::string_view содержимое,
                       ЧерезСсылку ссылка = ЧерезСсылку::нет);

// Copies a regular file to a new path, which must name nothing yet, with the
// source's permission bits less the process mask. A failure keeps the
// system's own error (std::filesystem::copy_file reports a full disk as an
// input/output error).
Итог скопировать_файл(const fs::path& откуда, const fs::path& куда);

// Swaps two existing entries of one file system in a single step, so that
// each name always holds one of them. Fails with the error number; EINVAL or
// ENOSYS mean that the file system cannot exchange.
tl::expected<void, int> обменять(const fs::path& первый, const fs::path& второй);

// Whether a path, with every link resolved, lies inside the folder.
bool лежит_внутри(const fs::path& путь, const fs::path& папка);

// Whether the path is a symbolic link whose target, with every link resolved,
// lies outside the current folder (the project).
bool ссылка_за_пределы_проекта(const fs::path& путь);

// Called after each change the program makes on disk (a folder made, a file
// written, a rename, an exchange, a removal). The program leaves it empty;
// tests set it to stop an install at a chosen step, the way a kill would.
inline void (*после_шага)() = nullptr;
void отметить_шаг();

// A folder made with mkdtemp and removed with its contents when its owner
// ends, whatever path the owner takes.
struct ВременнаяПапка {
    fs::path путь;

    ВременнаяПапка() = default;
    explicit ВременнаяПапка(fs::path п) : путь(std::move(п)) {}
    ВременнаяПапка(ВременнаяПапка&& другая) noexcept : путь(std::move(другая.путь)) {
        другая.путь.clear();
    }
    ВременнаяПапка& operator=(ВременнаяПапка&&) = delete;
    ВременнаяПапка(const ВременнаяПапка&) = delete;
    ~ВременнаяПапка();
};

// Makes a new folder named the prefix plus six random characters inside the
// given folder. The error is the system's text.
ИтогС<ВременнаяПапка> создать_временную_папку(const fs::path& где, std::string_view префикс);

// Gives a folder made by `создать_временную_папку` the permission bits of an
// ordinary new folder (0777 less the process mask) instead of mkdtemp's 0700.
Итог дать_права_новой_папки(const fs::path& папка);

// $TMPDIR, else /tmp, as an absolute path.
fs::path папка_временных_файлов();

}  // namespace vokra::пакеты
