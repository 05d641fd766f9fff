#include "panel/core/packages.hpp"

#include <algorithm>
#include <optional>

#include "panel/core/state.hpp"
#include "panel/core/text.hpp"

namespace vokra::panel {

namespace {

constexpr std::string_view префикс_источника = "    источник: ";
constexpr std::string_view префикс_описания = "    описание: ";
constexpr std::string_view нет_значения = "—";

std::string в_ячейку(std::string_view текст) {
    return обрезать_символы(текст, СИМВОЛОВ_В_СТРОКЕ_ОКНА);
}

// Exactly two spaces and then something else. Deeper-indented lines (the
// package manager's explanations and details) are not packages.
bool строка_пакета(std::string_view строка) {
    return строка.size() >= 3 && начинается_с(строка, "  ") && строка[2] != ' ';
}

}  // namespace

std::size_t видимых_строк_пакетов(std::size_t пакетов) {
    const auto в_окне =
        static_cast<std::size_t>((ВЫСОТА_ОКНА - 1 - ВЕРХ_ТАБЛИЦЫ_ПАКЕТОВ) / ВЫСОТА_СТРОКИ_ТАБЛИЦЫ);
    return std::min(пакетов, в_окне);
}

void разобрать_пакеты(std::string_view вывод, std::vector<std::string>& имена,
                      std::vector<std::string>& источники, std::vector<std::string>& описания) {
    std::optional<std::string> ждёт;  // the name of the package being read
    std::string источник{нет_значения};
    std::string описание{нет_значения};
    const auto дописать = [&] {
        if (ждёт) {
            имена.push_back(std::move(*ждёт));
            источники.push_back(std::move(источник));
            описания.push_back(std::move(описание));
        }
    };
    std::size_t начало = 0;
    while (начало <= вывод.size()) {
        std::size_t конец = вывод.find('\n', начало);
        if (конец == std::string_view::npos) {
            конец = вывод.size();
        }
        const std::string_view строка = вывод.substr(начало, конец - начало);
        if (начинается_с(строка, префикс_источника)) {
            источник = в_ячейку(строка.substr(префикс_источника.size()));
        } else if (начинается_с(строка, префикс_описания)) {
            описание = в_ячейку(строка.substr(префикс_описания.size()));
        } else if (строка_пакета(строка)) {
            дописать();
            ждёт = в_ячейку(строка.substr(2));
            источник = нет_значения;
            описание = нет_значения;
        }
        начало = конец + 1;
    }
    дописать();
}

}  // namespace vokra::panel
