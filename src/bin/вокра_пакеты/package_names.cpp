#include "вокра_пакеты/package_names.hpp"

#include <fmt/core.h>
#include <unicode/uchar.h>

#include <algorithm>

#include "unicode/unicode.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

namespace {

// File names of the common file systems stop at 255 bytes.
constexpr std::size_t наибольшая_длина_имени = 255;

// Every Bidi_Control character is of the class Cf as well.
bool невидимый_символ(char32_t символ) {
    const auto класс = u_charType(static_cast<UChar32>(символ));
    return управляющий_символ(символ) || класс == U_FORMAT_CHAR || класс == U_LINE_SEPARATOR ||
           класс == U_PARAGRAPH_SEPARATOR;
}

bool есть_невидимые_символы(std::string_view имя) {
    const std::u32string символы = vokra::unicode::декодировать(имя);
    return std::any_of(символы.begin(), символы.end(), невидимый_символ);
}

}  // namespace

fs::path папка_пакетов() {
    return fs::path(тексты::папка_пакетов);
}

Итог проверить_имя_пакета(std::string_view имя) {
    if (имя.empty() || имя.front() == '.' || имя.size() > наибольшая_длина_имени ||
        имя.find_first_of("/,=") != std::string_view::npos || есть_невидимые_символы(имя))
        return неудача(fmt::format(тексты::недопустимое_имя, цитата(имя)));
    return {};
}

bool служебная_папка(std::string_view имя) {
    return имя.starts_with(тексты::префикс_новой_папки) ||
           имя.starts_with(тексты::префикс_старой_папки);
}

Итог проверить_папку_пакетов() {
    std::error_code ошибка;
    const auto тип = fs::symlink_status(папка_пакетов(), ошибка).type();
    if (тип != fs::file_type::not_found && тип != fs::file_type::directory)
        return неудача(тексты::пакеты_не_папка);
    return {};
}

}  // namespace vokra::пакеты
