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

struct ОшибкаЧтения {
    bool нет_файла = false;  // the path names nothing
    std::string текст;
};

// Manifests, lock files, metadata and catalogues are a few kilobytes; a
// larger file is refused before it is read.
inline constexpr std::size_t наибольший_размер_файла = 4 * 1024 * 1024;

// The whole file as UTF-8 text. A folder, an unreadable file, one larger than
// `наибольший_размер_файла` or bytes that are not UTF-8 are errors, never an
// empty text.
tl::expected<std::string, ОшибкаЧтения> прочитать_текст(const fs::path& путь);

// What a write does when its path is a symbolic link.
enum class ЧерезСсылку {
    нет,     // the link is replaced by a regular file; its target is left untouched
    в_цель,  // the file the link names is replaced
};

// Replaces the file with the given content through a temporary file in the
// same folder and a rename, so readers see the old or the new content and
// never a half-written one. An existing file keeps its permission bits; a new
// one, or one that takes a link's place, gets 0666 less the process mask. The
// error is the system's text.
Итог записать_атомарно(const fs::path& путь, std::string_view содержимое,
                       ЧерезСсылку ссылка = ЧерезСсылку::нет);

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
