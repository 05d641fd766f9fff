#include "panel/core/release.hpp"

#include <fmt/format.h>
#include <sys/utsname.h>

#include <optional>

#include "panel/core/messages.hpp"
#include "panel/core/text.hpp"

namespace vokra::panel {

namespace {

bool пробельный(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::size_t пропустить_пробелы(std::string_view json, std::size_t i) {
    while (i < json.size() && пробельный(json[i])) {
        ++i;
    }
    return i;
}

// Position just after the opening character of the first value of the field
// `имя` that opens with `открывающий`. The service pretty-prints its JSON,
// so white space may stand around the colon.
std::optional<std::size_t> начало_значения(std::string_view json, std::string_view имя,
                                           char открывающий) {
    const std::string ключ = "\"" + std::string(имя) + "\"";
    for (std::size_t позиция = json.find(ключ); позиция != std::string_view::npos;
         позиция = json.find(ключ, позиция + 1)) {
        std::size_t i = пропустить_пробелы(json, позиция + ключ.size());
        if (i >= json.size() || json[i] != ':') {
            continue;
        }
        i = пропустить_пробелы(json, i + 1);
        if (i < json.size() && json[i] == открывающий) {
            return i + 1;
        }
    }
    return std::nullopt;
}

// The raw value of a string field; with `до_конца`, a value that the end of
// the text cuts short runs to that end, less a character cut in two.
tl::expected<std::string, ПолеНеНайдено> строковое_поле(std::string_view json, std::string_view имя,
                                                        bool до_конца) {
    const auto начало = начало_значения(json, имя, '"');
    if (!начало) {
        return tl::unexpected(ПолеНеНайдено{});
    }
    // An escape takes the byte after its backslash with it, so "a\\" ends at
    // its last quote and "a\"b" does not end inside.
    for (std::size_t i = *начало; i < json.size(); ++i) {
        if (json[i] == '\\') {
            ++i;
        } else if (json[i] == '"') {
            return std::string(json.substr(*начало, i - *начало));
        }
    }
    if (!до_конца) {
        return tl::unexpected(ПолеНеНайдено{});
    }
    std::string значение(json.substr(*начало));
    std::size_t ведущий = значение.size();
    while (ведущий > 0 && значение.size() - ведущий < 3 &&
           (static_cast<unsigned char>(значение[ведущий - 1]) & 0xC0) == 0x80) {
        --ведущий;
    }
    if (ведущий > 0 && ведущий - 1 + длина_символа(значение, ведущий - 1) > значение.size()) {
        значение.resize(ведущий - 1);
    }
    return значение;
}

}  // namespace

std::string текущая_версия() {
    return "0.3.3";
}

tl::expected<std::string, ПолеНеНайдено> извлечь_json_строковое_поле(std::string_view json,
                                                                     std::string_view имя) {
    return строковое_поле(json, имя, false);
}

tl::expected<std::string, ПолеНеНайдено> извлечь_json_массив(std::string_view json,
                                                             std::string_view имя) {
    const auto начало = начало_значения(json, имя, '[');
    if (!начало) {
        return tl::unexpected(ПолеНеНайдено{});
    }
    int глубина = 1;
    for (std::size_t i = *начало; i < json.size(); ++i) {
        if (json[i] == ']' && глубина == 1) {
            return std::string(json.substr(*начало, i - *начало));
        }
        if (json[i] == '[') {
            ++глубина;
        } else if (json[i] == ']') {
            --глубина;
        }
    }
    return tl::unexpected(ПолеНеНайдено{});
}

std::string разэкранировать_json_текст(std::string_view текст) {
    std::string итог;
    for (std::size_t i = 0; i < текст.size(); ++i) {
        if (текст[i] != '\\' || i + 1 == текст.size()) {
            итог += текст[i];
            continue;
        }
        const char следующий = текст[i + 1];
        if (следующий == 'n') {
            итог += '\n';
            ++i;
        } else if (следующий == '"' || следующий == '\\') {
            итог += следующий;
            ++i;
        } else if (следующий == 'r') {
            ++i;
        } else {
            итог += '\\';
        }
    }
    return итог;
}

std::string метка_текущей_платформы() {
    struct utsname система {};
    if (::uname(&система) == 0 && начинается_с(система.sysname, "Darwin")) {
        return "macOS";
    }
    return "Linux";
}

bool релиз_содержит_сборку(std::string_view json, std::string_view платформа) {
    const auto файлы = извлечь_json_массив(json, "assets");
    return файлы && файлы->find(платформа) != std::string::npos;
}

bool релиз_содержит_сборку_для_платформы(std::string_view json) {
    return релиз_содержит_сборку(json, метка_текущей_платформы());
}

РешениеОРелизе решить_о_релизе(std::string_view json, std::string_view версия,
                               std::string_view платформа, bool обрезан) {
    const auto найденный_тег = строковое_поле(json, "tag_name", обрезан);
    if (!найденный_тег) {
        return ДиалогРелиза{1, std::string(сообщения::ЗАГОЛОВОК_НЕ_РАЗОБРАТЬ),
                            std::string(сообщения::ТЕКСТ_НЕ_РАЗОБРАТЬ)};
    }
    std::string тег = *найденный_тег;
    if (начинается_с(тег, "v")) {
        тег.erase(0, 1);
    }
    if (тег == версия) {
        return ДиалогРелиза{2, std::string(сообщения::ЗАГОЛОВОК_ОБНОВЛЕНИЙ_НЕТ),
                            fmt::format(сообщения::ТЕКСТ_ОБНОВЛЕНИЙ_НЕТ, версия)};
    }
    тег = обрезать_символы(тег, СИМВОЛОВ_В_СТРОКЕ_ОКНА);
    if (!релиз_содержит_сборку(json, платформа)) {
        return ДиалогРелиза{0, std::string(сообщения::ЗАГОЛОВОК_СБОРКИ_НЕТ),
                            fmt::format(сообщения::ТЕКСТ_СБОРКИ_НЕТ, тег, платформа)};
    }
    НовыйРелиз релиз{тег, std::string(сообщения::БЕЗ_ОПИСАНИЯ)};
    const auto описание = строковое_поле(json, "body", обрезан);
    if (описание && !описание->empty()) {
        релиз.что_нового = обрезать_многострочный_текст(разэкранировать_json_текст(*описание));
    }
    return релиз;
}

}  // namespace vokra::panel
