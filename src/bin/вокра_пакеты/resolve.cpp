#include "вокра_пакеты/resolve.hpp"

#include <fmt/core.h>

#include "вокра_пакеты/git.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/output.hpp"
#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

namespace {

// The lock file records the tag in a package line; a tag that this line would
// not give back as it is (white space in it, or a description marker that
// takes part of it away) would make the next install read another version.
bool тег_читается_из_блокировки(std::string_view тег) {
    const auto записи =
        разобрать_манифест(fmt::format(тексты::строка_блокировки, "пакет", "адрес", тег));
    return записи && записи->size() == 1 && записи->front().версия == тег;
}

std::optional<ВыбранныйТег> тег_из_блокировки(const std::string& имя, const std::string& url,
                                              const ИнтервалВерсий& интервал,
                                              const ЗаписиБлокировки& блокировка) {
    const auto запись = блокировка.find(имя);
    if (запись == блокировка.end() || запись->second.url != url || !запись->second.версия)
        return std::nullopt;
    const auto версия = разобрать_семвер(*запись->second.версия);
    if (!версия || !содержит(интервал, *версия) ||
        !тег_читается_из_блокировки(*запись->second.версия))
        return std::nullopt;
    return ВыбранныйТег{*запись->second.версия, *версия};
}

// One line of `git ls-remote --tags` output: a tag inside the interval is
// kept when it is greater than the one kept so far.
void рассмотреть_строку(std::string_view строка, const ИнтервалВерсий& интервал,
                        std::optional<ВыбранныйТег>& лучший) {
    constexpr std::string_view префикс = "refs/tags/";
    constexpr std::string_view очищенный = "^{}";
    const auto табуляция = строка.find('\t');
    if (табуляция == std::string_view::npos)
        return;
    std::string_view тег = строка.substr(табуляция + 1);
    if (!тег.starts_with(префикс))
        return;
    тег.remove_prefix(префикс.size());
    // An annotated tag is listed twice; its peeled line names the same tag.
    if (тег.ends_with(очищенный))
        тег.remove_suffix(очищенный.size());
    const auto версия = разобрать_семвер(тег);
    if (!версия || !содержит(интервал, *версия) || !тег_читается_из_блокировки(тег))
        return;
    if (!лучший || *версия > лучший->версия)
        лучший = ВыбранныйТег{std::string(тег), *версия};
}

// Longer lines name no reference that git can keep in a file name.
constexpr std::size_t наибольшая_строка = 65536;

// A line as git wrote it: its bytes as UTF-8 text, a carriage return
// before the line break dropped.
void рассмотреть_байты(std::string_view байты, ПоискТега& поиск) {
    if (байты.ends_with('\r'))
        байты.remove_suffix(1);
    рассмотреть_строку(как_текст(байты), поиск.интервал, поиск.лучший);
}

}  // namespace

void ПоискТега::принять(std::string_view часть) {
    for (;;) {
        const auto конец = часть.find('\n');
        const std::string_view кусок = часть.substr(0, конец);
        // However git's output is cut into pieces, a line past the limit is
        // never kept or read.
        if (начало.size() + кусок.size() > наибольшая_строка) {
            начало.clear();
            пропуск = true;
        } else if (!пропуск) {
            начало.append(кусок);
        }
        if (конец == std::string_view::npos)
            return;
        if (!пропуск)
            рассмотреть_байты(начало, *this);
        начало.clear();
        пропуск = false;
        часть.remove_prefix(конец + 1);
    }
}

void ПоискТега::закончить() {
    if (!пропуск && !начало.empty())
        рассмотреть_байты(начало, *this);
    начало.clear();
}

std::optional<ВыбранныйТег> выбрать_тег(std::string_view вывод_ls_remote,
                                        const ИнтервалВерсий& интервал) {
    ПоискТега поиск{интервал};
    поиск.принять(вывод_ls_remote);
    поиск.закончить();
    return поиск.лучший;
}

ИтогС<ВыбранныйТег> разрешить_версию_пакета(const std::string& имя, const std::string& url,
                                            const std::string& требование,
                                            const ИнтервалВерсий& интервал,
                                            const ЗаписиБлокировки& блокировка) {
    if (auto из_блокировки = тег_из_блокировки(имя, url, интервал, блокировка)) {
        вывести_строку(тексты::взято_из_блокировки, имя, цитата(требование),
                       цитата(из_блокировки->тег));
        return *из_блокировки;
    }
    // "--" keeps an address that starts with a dash from being read as an option.
    ПоискТега поиск{интервал};
    const auto git = выполнить_git({{"ls-remote", "--tags", "--", адрес_для_git(url)},
                                    url,
                                    {},
                                    [&поиск](std::string_view часть) { поиск.принять(часть); }});
    if (!git)
        return неудача(git.error().сообщение(тексты::не_удалось_запустить_git_установлен_ли));
    if (!git->успешен())
        return неудача(
            fmt::format(тексты::ls_remote_не_удался, цитата(url), цитата_вывода(git->ошибки)));

    поиск.закончить();
    const auto& тег = поиск.лучший;
    if (!тег)
        return неудача(fmt::format(тексты::нет_подходящего_тега, цитата(url), цитата(требование),
                                   текст_интервала(интервал)));
    вывести_строку(тексты::разрешено_в_тег, имя, цитата(требование), цитата(тег->тег));
    return *тег;
}

}  // namespace vokra::пакеты
