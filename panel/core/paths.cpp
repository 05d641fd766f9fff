#include "panel/core/paths.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "panel/core/files.hpp"
#include "panel/core/state.hpp"
#include "panel/core/text.hpp"

namespace vokra::panel {

namespace {

// The home folder of the user running the panel, as the password database
// records it; empty when there is no entry.
std::string домашняя_папка_из_базы() {
    long размер = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> буфер(размер > 0 ? static_cast<std::size_t>(размер) : 16384);
    struct passwd запись {};
    struct passwd* найдено = nullptr;
    if (::getpwuid_r(::getuid(), &запись, буфер.data(), буфер.size(), &найдено) != 0 ||
        найдено == nullptr || найдено->pw_dir == nullptr) {
        return {};
    }
    return найдено->pw_dir;
}

}  // namespace

std::string домашняя_папка() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return home;
    }
    std::string из_базы = домашняя_папка_из_базы();
    if (!из_базы.empty()) {
        return из_базы;
    }
    return временная_папка();
}

std::string временная_папка() {
    return "/tmp";
}

std::string папка_установки_по_умолчанию() {
    return домашняя_папка() + "/.vokra";
}

std::string путь_установленного_vokra(std::string_view папка) {
    return std::string(папка) + "/bin/запустить";
}

std::string путь_установленного_вокра_пакеты(std::string_view папка) {
    return std::string(папка) + "/bin/вокра_пакеты";
}

std::string путь_установленного_примера(std::string_view папка) {
    return std::string(папка) + "/share/привет.код";
}

std::string путь_файла_версии(std::string_view папка) {
    return std::string(папка) + "/share/version.txt";
}

bool вокра_уже_установлена(std::string_view папка) {
    // One version line; a larger file is not read on, as it is read again
    // every second.
    constexpr std::size_t наибольшая_версия = 256;
    return прочитать_начало_файла(путь_файла_версии(папка), наибольшая_версия).has_value();
}

std::string папка_исполняемого_файла() {
    if (глобальный_argc < 2 || глобальный_argv == nullptr || глобальный_argv[1] == nullptr) {
        return ".";
    }
    const std::string_view путь = глобальный_argv[1];
    const auto черта = найти_последнее(путь, "/");
    if (!черта) {
        return ".";
    }
    return std::string(путь.substr(0, *черта));
}

std::string папка_запущенной_программы() {
    // The link's text grows until it fits; no path is longer than 64 KiB.
    for (std::size_t размер = 256; размер <= (std::size_t{1} << 16); размер *= 2) {
        std::string путь(размер, '\0');
        const ssize_t длина = ::readlink("/proc/self/exe", путь.data(), путь.size());
        if (длина <= 0) {
            return {};
        }
        if (static_cast<std::size_t>(длина) == путь.size()) {
            continue;
        }
        путь.resize(static_cast<std::size_t>(длина));
        const auto черта = найти_последнее(путь, "/");
        if (!черта || !начинается_с(путь, "/")) {
            return {};
        }
        return *черта == 0 ? std::string("/") : путь.substr(0, *черта);
    }
    return {};
}

}  // namespace vokra::panel
