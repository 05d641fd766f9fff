#include "вокра_пакеты/versions.hpp"

#include <fmt/core.h>

#include <algorithm>
#include <charconv>
#include <limits>

#include "вокра_пакеты/messages.hpp"

namespace vokra::пакеты {

namespace {

std::optional<std::uint64_t> разобрать_число(std::string_view часть) {
    if (часть.empty())
        return std::nullopt;
    for (const char знак : часть)
        if (знак < '0' || знак > '9')
            return std::nullopt;
    std::uint64_t число = 0;
    const auto [конец, ошибка] = std::from_chars(часть.data(), часть.data() + часть.size(), число);
    if (ошибка != std::errc() || конец != часть.data() + часть.size())
        return std::nullopt;
    return число;
}

enum class Разряд { старший, младший, исправление };

// The smallest version above every version that shares the given parts:
// the chosen part grows by one and the parts below it become zero. A part at
// its largest value carries into the one above; past the largest version of
// all there is nothing, so the interval stays unbounded.
std::optional<Версия> следующая(Версия версия, Разряд разряд) {
    constexpr auto наибольшее = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t* части[] = {&версия.старшая, &версия.младшая, &версия.исправление};
    for (int i = static_cast<int>(разряд); i >= 0; --i) {
        for (int ниже = i + 1; ниже < 3; ++ниже)
            *части[ниже] = 0;
        if (*части[i] != наибольшее) {
            ++*части[i];
            return версия;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<Версия> разобрать_семвер(std::string_view текст) {
    if (текст.starts_with('v'))
        текст.remove_prefix(1);
    текст = текст.substr(0, текст.find_first_of("-+"));
    std::uint64_t части[3];
    for (int i = 0; i < 3; ++i) {
        const auto точка = текст.find('.');
        if ((i < 2) == (точка == std::string_view::npos))
            return std::nullopt;
        const auto число = разобрать_число(текст.substr(0, точка));
        if (!число)
            return std::nullopt;
        части[i] = *число;
        if (i < 2)
            текст.remove_prefix(точка + 1);
    }
    return Версия{части[0], части[1], части[2]};
}

ТребованиеВерсии требование_версии(std::string_view текст) {
    ВидВерсии вид = ВидВерсии::точная;
    if (текст.starts_with('^'))
        вид = ВидВерсии::каретка;
    if (текст.starts_with('~'))
        вид = ВидВерсии::тильда;
    if (вид != ВидВерсии::точная)
        текст.remove_prefix(1);
    const auto версия = разобрать_семвер(текст);
    if (!версия)
        return {};

    Разряд разряд = Разряд::исправление;
    if (вид == ВидВерсии::тильда)
        разряд = Разряд::младший;
    if (вид == ВидВерсии::каретка) {
        if (версия->старшая > 0)
            разряд = Разряд::старший;
        else if (версия->младшая > 0)
            разряд = Разряд::младший;
    }
    return {вид, {*версия, следующая(*версия, разряд)}};
}

bool содержит(const ИнтервалВерсий& интервал, const Версия& версия) {
    return версия >= интервал.от && (!интервал.до || версия < *интервал.до);
}

ИнтервалВерсий пересечь(const ИнтервалВерсий& а, const ИнтервалВерсий& б) {
    ИнтервалВерсий итог{std::max(а.от, б.от), а.до ? а.до : б.до};
    if (а.до && б.до)
        итог.до = std::min(*а.до, *б.до);
    return итог;
}

bool пуст(const ИнтервалВерсий& интервал) {
    return интервал.до && *интервал.до <= интервал.от;
}

std::string текст_интервала(const ИнтервалВерсий& и) {
    if (!и.до)
        return fmt::format(тексты::интервал_без_верхней_границы, и.от.старшая, и.от.младшая,
                           и.от.исправление);
    return fmt::format(тексты::интервал_с_верхней_границей, и.от.старшая, и.от.младшая,
                       и.от.исправление, и.до->старшая, и.до->младшая, и.до->исправление);
}

}  // namespace vokra::пакеты
