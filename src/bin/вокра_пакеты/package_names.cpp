#include "package_names.hpp"

#include <fmt/core.h>

#include "messages.hpp"

namespace вокра_пакеты {

fs::path папка_пакетов() {
    return fs::path(тексты::папка_пакетов);
}

Итог проверить_имя_пакета(std::string_view имя) {
    if (имя.empty() || имя == "." || имя == ".." || имя == тексты::файл_метаданных ||
        имя.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos)
        return неудача(fmt::format(тексты::недопустимое_имя, имя));
    return {};
}

}  // namespace вокра_пакеты
