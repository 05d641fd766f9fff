#include "вокра_пакеты/package_line.hpp"

#include <fmt/core.h>

#include "unicode/lines.hpp"
#include "unicode/unicode.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

namespace {

using vokra::unicode::обрезать;

ИтогС<Зависимость> разобрать_строку(std::size_t номер, std::string_view строка) {
    const auto равно = строка.find('=');
    if (равно == std::string_view::npos)
        return неудача(fmt::format(тексты::формат_строки, номер, цитата(строка)));

    Зависимость зависимость;
    зависимость.имя = обрезать(строка.substr(0, равно));
    const std::string_view правая = обрезать(строка.substr(равно + 1));

    // The description may hold spaces, so it is cut out before the words are
    // split; what follows its closing quote is still read.
    std::string без_описания(правая);
    constexpr std::string_view маркер = тексты::маркер_описания;
    if (const auto начало = правая.find(маркер); начало != std::string_view::npos) {
        const auto текст = начало + маркер.size();
        const auto кавычка = правая.find('"', текст);
        if (кавычка == std::string_view::npos)
            return неудача(fmt::format(тексты::нет_закрывающей_кавычки, номер));
        зависимость.описание = std::string(правая.substr(текст, кавычка - текст));
        без_описания =
            std::string(правая.substr(0, начало)) + " " + std::string(правая.substr(кавычка + 1));
    }

    const auto части = слова(без_описания);
    if (части.size() < 2 || части[0] != тексты::слово_git)
        return неудача(fmt::format(тексты::только_git, номер, цитата(правая)));
    зависимость.url = части[1];

    constexpr std::string_view ветка = тексты::префикс_ветки;
    constexpr std::string_view версия = тексты::префикс_версии;
    for (std::size_t i = 2; i < части.size(); ++i) {
        const std::string_view слово = части[i];
        if (слово.starts_with(ветка))
            зависимость.ветка = std::string(слово.substr(ветка.size()));
        else if (слово.starts_with(версия))
            зависимость.версия = std::string(слово.substr(версия.size()));
    }
    if (зависимость.ветка && зависимость.версия)
        return неудача(fmt::format(тексты::ветка_и_версия, номер));
    return зависимость;
}

}  // namespace

ИтогС<std::vector<Зависимость>> разобрать_манифест(std::string_view текст) {
    std::vector<Зависимость> зависимости;
    std::size_t номер = 0;
    for (const std::string_view исходная : unicode::строки_без_возврата_каретки(текст)) {
        ++номер;
        const std::string_view строка = обрезать(исходная);
        if (строка.empty() || строка.front() == '#')
            continue;
        auto зависимость = разобрать_строку(номер, строка);
        if (!зависимость)
            return неудача(std::move(зависимость.error()));
        зависимости.push_back(std::move(*зависимость));
    }
    return зависимости;
}

}  // namespace vokra::пакеты
