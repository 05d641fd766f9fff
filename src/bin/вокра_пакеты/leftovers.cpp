#include "вокра_пакеты/leftovers.hpp"

#include <fmt/core.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <string_view>
#include <vector>

#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/package_names.hpp"

namespace vokra::пакеты {

namespace {

// What mkstemp and mkdtemp put in place of "XXXXXX".
bool случайный_хвост(std::string_view хвост) {
    return хвост.size() == 6 && std::all_of(хвост.begin(), хвост.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

// The process id in a name "вокра_пакет_<pid>.XXXXXX", or 0 for any other
// name.
pid_t процесс_папки(std::string_view имя) {
    const std::string начало = fmt::format(тексты::временная_папка_клона, "");
    if (!имя.starts_with(начало))
        return 0;
    имя.remove_prefix(начало.size());
    pid_t процесс = 0;
    const auto [конец, ошибка] = std::from_chars(имя.data(), имя.data() + имя.size(), процесс);
    if (ошибка != std::errc() || процесс <= 0 || конец == имя.data() ||
        конец == имя.data() + имя.size() || *конец != '.')
        return 0;
    return случайный_хвост(std::string_view(конец + 1, имя.data() + имя.size() - конец - 1))
               ? процесс
               : 0;
}

bool процесс_идёт(pid_t процесс) {
    return ::kill(процесс, 0) == 0 || errno == EPERM;
}

// Entries of a folder whose names pass the test; none when it cannot be read.
template <typename Проверка>
std::vector<fs::path> записи(const fs::path& папка, Проверка&& подходит) {
    std::vector<fs::path> итог;
    std::error_code ошибка;
    for (fs::directory_iterator запись(папка, ошибка), конец; !ошибка && запись != конец;
         запись.increment(ошибка))
        if (подходит(запись->path().filename().string()))
            итог.push_back(запись->path());
    return итог;
}

}  // namespace

std::string префикс_временной_папки() {
    return fmt::format(тексты::временная_папка_клона, ::getpid()) + ".";
}

void убрать_брошенные_временные_папки() {
    const auto папки = записи(папка_временных_файлов(), [](const std::string& имя) {
        const pid_t процесс = процесс_папки(имя);
        return процесс != 0 && !процесс_идёт(процесс);
    });
    for (const auto& папка : папки) {
        // In a shared temporary folder only the owner may remove or rename
        // an entry, so one that is this user's folder now stays so.
        struct stat сведения {};
        if (::lstat(папка.c_str(), &сведения) != 0 || !S_ISDIR(сведения.st_mode) ||
            сведения.st_uid != ::geteuid())
            continue;
        std::error_code пропускаем;
        fs::remove_all(папка, пропускаем);
        отметить_шаг();
    }
}

void убрать_брошенные_файлы_блокировки() {
    const std::string начало = std::string(".") + тексты::файл_блокировки + ".";
    const auto файлы = записи(".", [&](const std::string& имя) {
        return имя.starts_with(начало) &&
               случайный_хвост(std::string_view(имя).substr(начало.size()));
    });
    for (const auto& файл : файлы) {
        struct stat сведения {};
        if (::lstat(файл.c_str(), &сведения) != 0 || !S_ISREG(сведения.st_mode))
            continue;
        std::error_code пропускаем;
        fs::remove(файл, пропускаем);
        отметить_шаг();
    }
}

ИтогС<ВременнаяПапка> отодвинуть_пакет(const std::string& имя) {
    auto в_сторону = создать_временную_папку(папка_пакетов(), тексты::префикс_старой_папки);
    if (!в_сторону)
        return в_сторону;
    std::error_code ошибка;
    fs::rename(папка_пакетов() / имя, в_сторону->путь / имя, ошибка);
    if (ошибка)
        return неудача(текст_ошибки(ошибка));
    отметить_шаг();
    return в_сторону;
}

void убрать_брошенные_папки_пакетов() {
    const auto остатки = записи(папка_пакетов(), служебная_папка);
    for (const auto& остаток : остатки) {
        std::error_code пропускаем;
        fs::remove_all(остаток, пропускаем);
        отметить_шаг();
    }
}

}  // namespace vokra::пакеты
