#include "вокра_пакеты/settings_folder.hpp"

#include <fmt/core.h>

#include <cstdlib>
#include <vector>

#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

ИтогС<fs::path> папка_настроек_вокры() {
    for (const char* переменная : {"HOME", "USERPROFILE"}) {
        const char* значение = std::getenv(переменная);
        if (значение == nullptr || !верный_utf8(значение))
            continue;
        const fs::path папка = fs::path(значение) / тексты::папка_настроек;
        std::error_code ошибка;
        const fs::path полная = fs::absolute(папка, ошибка);
        return (ошибка ? папка : полная).lexically_normal();
    }
    return неудача(тексты::нет_домашней_папки);
}

Итог проверить_ссылки_настроек(const fs::path& папка) {
    std::error_code ошибка;
    const fs::path проект = fs::current_path(ошибка);
    const fs::path внутри = папка.lexically_relative(проект);
    if (ошибка || внутри.empty() || *внутри.begin() == "..")
        return {};
    std::vector<fs::path> пути;
    fs::path путь = проект;
    for (const auto& часть : внутри)
        пути.push_back(путь /= часть);
    пути.push_back(папка / тексты::файл_адреса_индекса);
    пути.push_back(папка / тексты::папка_индекса);
    for (const auto& п : пути)
        if (ссылка_за_пределы_проекта(п))
            return неудача(fmt::format(тексты::настройки_за_пределы,
                                       цитата(п.lexically_relative(проект).string())));
    return {};
}

}  // namespace vokra::пакеты
