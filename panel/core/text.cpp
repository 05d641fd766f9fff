#include "panel/core/text.hpp"

#include "panel/core/messages.hpp"

namespace vokra::panel {

namespace {

bool пробел_или_перевод(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

bool пустой_с_конца(char c) {
    return пробел_или_перевод(c) || c == '\t';
}

bool пустой_с_начала(char c) {
    const auto байт = static_cast<unsigned char>(c);
    return пустой_с_конца(c) || байт == 0xEF || байт == 0xBB || байт == 0xBF;
}

}  // namespace

std::size_t длина_символа(std::string_view текст, std::size_t i) {
    const auto байт = static_cast<unsigned char>(текст[i]);
    if (байт < 0x80) {
        return 1;
    }
    if ((байт & 0xE0) == 0xC0) {
        return 2;
    }
    if ((байт & 0xF0) == 0xE0) {
        return 3;
    }
    return 4;
}

bool начинается_с(std::string_view текст, std::string_view начало) {
    return текст.starts_with(начало);
}

bool окончивается_на(std::string_view текст, std::string_view конец) {
    return текст.ends_with(конец);
}

std::optional<std::size_t> найти_последнее(std::string_view текст, std::string_view часть) {
    if (часть.empty() || часть.size() > текст.size()) {
        return std::nullopt;
    }
    const std::size_t позиция = текст.rfind(часть);
    if (позиция == std::string_view::npos) {
        return std::nullopt;
    }
    return позиция;
}

std::string обрезать_края(std::string_view текст) {
    std::size_t начало = 0;
    while (начало < текст.size() && пустой_с_начала(текст[начало])) {
        ++начало;
    }
    std::size_t конец = текст.size();
    while (конец > начало && пустой_с_конца(текст[конец - 1])) {
        --конец;
    }
    return std::string(текст.substr(начало, конец - начало));
}

std::string первая_строка(std::string_view текст) {
    std::size_t i = 0;
    while (i < текст.size() && static_cast<unsigned char>(текст[i]) >= 32) {
        ++i;
    }
    return std::string(текст.substr(0, i));
}

std::string в_одну_строку(std::string_view текст) {
    std::string итог;
    bool в_пробелах = false;
    for (std::size_t i = 0; i < текст.size();) {
        if (пробел_или_перевод(текст[i])) {
            if (!в_пробелах) {
                итог += ' ';
            }
            в_пробелах = true;
            ++i;
            continue;
        }
        const std::size_t длина = длина_символа(текст, i);
        if (i + длина > текст.size()) {
            break;
        }
        итог.append(текст.substr(i, длина));
        в_пробелах = false;
        i += длина;
    }
    return итог;
}

std::string обрезать_символы(std::string_view текст, std::size_t n) {
    std::size_t i = 0;
    for (std::size_t шаг = 0; шаг < n && i < текст.size(); ++шаг) {
        i += длина_символа(текст, i);
    }
    if (i >= текст.size()) {
        return std::string(текст);
    }
    std::string итог(текст.substr(0, i));
    итог += сообщения::МНОГОТОЧИЕ;
    return итог;
}

std::string обрезать_многострочный_текст(std::string_view текст) {
    std::string итог;
    for (std::size_t строк = 0; строк < СТРОК_МНОГОСТРОЧНОГО_ТЕКСТА; ++строк) {
        const std::size_t перевод = текст.find('\n');
        итог += обрезать_символы(текст.substr(0, перевод), СИМВОЛОВ_В_СТРОКЕ_ОКНА);
        if (перевод == std::string_view::npos) {
            break;
        }
        текст.remove_prefix(перевод + 1);
        if (строк + 1 < СТРОК_МНОГОСТРОЧНОГО_ТЕКСТА) {
            итог += '\n';
        }
    }
    return итог;
}

std::string перенести_текст(std::string_view текст, std::int64_t ширина) {
    std::string итог;
    std::int64_t в_строке = 0;
    for (std::size_t i = 0; i < текст.size();) {
        const char c = текст[i];
        if (c == '\n') {
            итог += '\n';
            в_строке = 0;
            ++i;
            continue;
        }
        if (c == ' ' && в_строке >= ширина - 8) {
            итог += '\n';
            в_строке = 0;
            ++i;
            continue;
        }
        const std::size_t длина = длина_символа(текст, i);
        if (i + длина > текст.size()) {
            break;
        }
        if (в_строке >= ширина) {
            итог += '\n';
            в_строке = 0;
        }
        итог.append(текст.substr(i, длина));
        ++в_строке;
        i += длина;
    }
    return итог;
}

std::string описание_языка() {
    return std::string(сообщения::ОПИСАНИЕ_ЯЗЫКА);
}

}  // namespace vokra::panel
