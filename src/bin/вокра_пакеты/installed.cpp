#include "вокра_пакеты/installed.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "unicode/lines.hpp"
#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/folder_lock.hpp"
#include "вокра_пакеты/leftovers.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/output.hpp"
#include "вокра_пакеты/package_names.hpp"
#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

namespace {

const fs::path& расширение_кода() {
    static const fs::path расширение = std::string(".") + тексты::расширение_кода;
    return расширение;
}

std::string префикс(const char* ключ) {
    return std::string(ключ) + "=";
}

struct СодержимоеПакетов {
    std::vector<std::string> папки;            // one per package
    std::vector<std::string> свободные_файлы;  // `.код` files of the older layout
};

ИтогС<СодержимоеПакетов> прочитать_папку_пакетов() {
    СодержимоеПакетов содержимое;
    std::error_code ошибка;
    fs::directory_iterator запись(папка_пакетов(), ошибка);
    if (ошибка)
        return неудача(fmt::format(тексты::не_удалось_прочитать_пакеты, текст_ошибки(ошибка)));
    for (const fs::directory_iterator конец; запись != конец; запись.increment(ошибка)) {
        std::string имя = запись->path().filename().string();
        std::error_code тип;
        if (служебная_папка(имя))
            continue;
        if (запись->is_directory(тип) && имя != тексты::файл_метаданных)
            содержимое.папки.push_back(std::move(имя));
        else if (запись->path().extension() == расширение_кода())
            содержимое.свободные_файлы.push_back(std::move(имя));
    }
    if (ошибка)
        return неудача(fmt::format(тексты::ошибка_чтения_записи_каталога, текст_ошибки(ошибка)));
    std::sort(содержимое.папки.begin(), содержимое.папки.end());
    std::sort(содержимое.свободные_файлы.begin(), содержимое.свободные_файлы.end());
    return содержимое;
}

// Prints the facts of `.метаданные` that a person cares about; a missing or
// unreadable file prints nothing.
void вывести_метаданные(const fs::path& папка) {
    const auto текст = прочитать_текст(папка / тексты::файл_метаданных);
    if (!текст)
        return;
    struct Показ {
        std::string префикс;
        fmt::format_string<std::string_view> строка;
    };
    const Показ показы[] = {
        {префикс(тексты::ключ_описание), тексты::показ_описание},
        {префикс(тексты::ключ_источник), тексты::показ_источник},
        {префикс(тексты::ключ_версия), тексты::показ_версия},
        {префикс(тексты::ключ_транзитивная_через), тексты::показ_транзитивная_через},
        {префикс(тексты::ключ_собственных_зависимостей), тексты::показ_собственных_зависимостей},
    };
    const std::string требуется = префикс(тексты::ключ_требуется_пакетами);
    for (const std::string_view строка : unicode::строки_без_возврата_каретки(*текст)) {
        for (const auto& показ : показы)
            if (строка.starts_with(показ.префикс)) {
                вывести_строку(показ.строка, строка.substr(показ.префикс.size()));
                break;
            }
        if (строка.starts_with(требуется)) {
            std::string значение;
            for (const char знак : строка.substr(требуется.size())) {
                if (знак == ',')
                    значение += тексты::разделитель_требующих;
                else
                    значение += знак;
            }
            вывести_строку(тексты::показ_требуется_пакетами, значение);
        }
    }
}

// One import statement per `.код` file of the package folder.
void вывести_подключения(const fs::path& папка, const std::string& пакет) {
    std::vector<std::string> основы;
    std::error_code ошибка;
    for (fs::directory_iterator запись(папка, ошибка), конец; !ошибка && запись != конец;
         запись.increment(ошибка))
        if (запись->path().extension() == расширение_кода())
            основы.push_back(как_текст(запись->path().stem().string()));
    if (ошибка)
        return;
    std::sort(основы.begin(), основы.end());
    for (const auto& основа : основы) {
        if (основа == пакет)
            вывести_строку(тексты::подключить_пакет, пакет);
        else
            вывести_строку(тексты::подключить_файл, пакет, основа);
    }
}

void вывести_пакет(const std::string& папка) {
    const std::string имя = как_текст(папка);
    const fs::path путь = папка_пакетов() / папка;
    вывести_строку(тексты::строка_пакета, имя);
    std::error_code ошибка;
    const fs::path настоящий = fs::canonical(путь, ошибка);
    вывести_строку(тексты::расположение, ошибка ? путь.string() : настоящий.string());
    вывести_метаданные(путь);
    вывести_подключения(путь, имя);
    вывести_строку("");
}

// Installed packages that, by the metadata of the last install, require the
// package in the given folder.
std::vector<std::string> требующие_пакеты(const fs::path& папка) {
    std::vector<std::string> требующие;
    const auto текст = прочитать_текст(папка / тексты::файл_метаданных);
    if (!текст)
        return требующие;
    const std::string префикс_требующих = префикс(тексты::ключ_требуется_пакетами);
    for (std::string_view строка : unicode::строки_без_возврата_каретки(*текст)) {
        if (!строка.starts_with(префикс_требующих))
            continue;
        строка.remove_prefix(префикс_требующих.size());
        while (!строка.empty()) {
            const auto запятая = строка.find(',');
            const std::string часть(строка.substr(0, запятая));
            строка.remove_prefix(запятая == std::string_view::npos ? строка.size() : запятая + 1);
            std::error_code ошибка;
            if (!часть.empty() && !служебная_папка(часть) &&
                fs::is_directory(папка_пакетов() / часть, ошибка))
                требующие.push_back(часть);
        }
    }
    return требующие;
}

Итог удалить_папку_пакета(const fs::path& папка, const std::string& имя, bool принудительно) {
    const auto требующие = требующие_пакеты(папка);
    if (!требующие.empty()) {
        const std::string список = fmt::format("{}", fmt::join(требующие, ", "));
        if (!принудительно)
            return неудача(fmt::format(тексты::требуется_другим, имя, список));
        вывести_строку(тексты::удаляю_принудительно, имя, список);
    }
    // The folder goes aside first, in one step, and is removed from there:
    // whenever the command is killed, the name holds the whole package or
    // nothing, and what is left aside the next command clears.
    auto в_сторону = отодвинуть_пакет(имя);
    if (!в_сторону)
        return неудача(fmt::format(тексты::не_удалось_удалить, папка.string(), в_сторону.error()));
    std::error_code ошибка;
    fs::remove_all(в_сторону->путь, ошибка);
    if (ошибка)
        вывести_строку(тексты::удалённая_копия_осталась, имя, в_сторону->путь.string(),
                       текст_ошибки(ошибка));
    else
        отметить_шаг();
    в_сторону->путь.clear();
    вывести_строку(тексты::удалено, папка.string());
    return {};
}

// The older layout: the package is one file with its metadata kept apart.
Итог удалить_файл_пакета(const std::string& имя) {
    const fs::path файл = папка_пакетов() / (имя + расширение_кода().string());
    std::error_code ошибка;
    if (!fs::exists(файл, ошибка))
        return неудача(fmt::format(тексты::пакет_не_найден, имя));
    fs::remove(файл, ошибка);
    if (ошибка)
        return неудача(
            fmt::format(тексты::не_удалось_удалить, файл.string(), текст_ошибки(ошибка)));
    вывести_строку(тексты::удалено, файл.string());

    // Only a real `.метаданные` folder is looked into: through a link the
    // removal would reach a file outside the project.
    const fs::path папка_метаданных = папка_пакетов() / тексты::файл_метаданных;
    const fs::path метаданные = папка_метаданных / (имя + тексты::файл_метаданных);
    if (fs::symlink_status(папка_метаданных, ошибка).type() != fs::file_type::directory ||
        !fs::exists(метаданные, ошибка))
        return {};
    fs::remove(метаданные, ошибка);
    if (ошибка)
        return неудача(fmt::format(тексты::не_удалось_удалить_метаданные, метаданные.string(),
                                   текст_ошибки(ошибка)));
    вывести_строку(тексты::удалены_метаданные, метаданные.string());
    return {};
}

}  // namespace

Итог показать_список() {
    std::error_code ошибка;
    if (!fs::exists(папка_пакетов(), ошибка)) {
        вывести_строку(тексты::нет_папки_пакетов);
        return {};
    }
    const auto содержимое = прочитать_папку_пакетов();
    if (!содержимое)
        return неудача(содержимое.error());
    if (содержимое->папки.empty() && содержимое->свободные_файлы.empty()) {
        вывести_строку(тексты::ничего_не_установлено);
        return {};
    }
    if (!содержимое->папки.empty()) {
        вывести_строку(тексты::установленные_пакеты, содержимое->папки.size());
        for (const auto& папка : содержимое->папки)
            вывести_пакет(папка);
    }
    if (!содержимое->свободные_файлы.empty()) {
        вывести_строку(тексты::свободные_файлы, содержимое->свободные_файлы.size());
        вывести_строку(тексты::свободные_файлы_пояснение);
        for (const auto& файл : содержимое->свободные_файлы)
            вывести_строку(тексты::свободный_файл, как_текст(файл));
        вывести_строку("");
    }
    return {};
}

Итог удалить_пакет(const std::string& имя, bool принудительно) {
    const auto замок = занять_проект();
    if (!замок)
        return неудача(замок.error());
    if (auto папка = проверить_папку_пакетов(); !папка)
        return папка;
    // An empty name or ".." would otherwise remove `пакеты/` itself or the project.
    if (auto допустимо = проверить_имя_пакета(имя); !допустимо)
        return допустимо;
    убрать_брошенные_папки_пакетов();
    const fs::path папка = папка_пакетов() / имя;
    std::error_code ошибка;
    if (fs::is_directory(папка, ошибка))
        return удалить_папку_пакета(папка, имя, принудительно);
    return удалить_файл_пакета(имя);
}

}  // namespace vokra::пакеты
