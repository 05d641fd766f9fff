// File system helpers: system error texts, strict text reading, atomic
// replacement of a file and a temporary folder that removes itself.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "result.hpp"

namespace вокра_пакеты {

namespace fs = std::filesystem;

// The operating system's text for an error number, then " (os error N)".
std::string текст_ошибки_ос(int номер);
std::string текст_ошибки(const std::error_code& код);

struct ОшибкаЧтения {
    bool нет_файла = false;  // the path names nothing
    std::string текст;
};

// The whole file as UTF-8 text. A folder, an unreadable file or bytes that
// are not UTF-8 are errors, never an empty text.
tl::expected<std::string, ОшибкаЧтения> прочитать_текст(const fs::path& путь);

// Replaces the file with the given content through a temporary file in the
// same folder and a rename, so readers see the old or the new content and
// never a half-written one. An existing file keeps its permission bits; a new
// one gets 0666 less the process mask; a symbolic link is followed to the file
// it names. The error is the system's text.
Итог записать_атомарно(const fs::path& путь, std::string_view содержимое);

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

// $TMPDIR, else /tmp.
fs::path папка_временных_файлов();

}  // namespace вокра_пакеты
