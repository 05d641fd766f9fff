#include "вокра_пакеты/resolve.hpp"

#include <fmt/core.h>

#include "unicode/lines.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/output.hpp"
#include "вокра_пакеты/process.hpp"
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

}  // namespace

std::optional<ВыбранныйТег> выбрать_тег(std::string_view вывод_ls_remote,
                                        const ИнтервалВерсий& интервал) {
    constexpr std::string_view префикс = "refs/tags/";
    constexpr std::string_view очищенный = "^{}";
    std::optional<ВыбранныйТег> лучший;
    for (const std::string_view строка : unicode::строки_без_возврата_каретки(вывод_ls_remote)) {
        const auto табуляция = строка.find('\t');
        if (табуляция == std::string_view::npos)
            continue;
        std::string_view тег = строка.substr(табуляция + 1);
        if (!тег.starts_with(префикс))
            continue;
        тег.remove_prefix(префикс.size());
        // An annotated tag is listed twice; its peeled line names the same tag.
        if (тег.ends_with(очищенный))
            тег.remove_suffix(очищенный.size());
        const auto версия = разобрать_семвер(тег);
        if (!версия || !содержит(интервал, *версия) || !тег_читается_из_блокировки(тег))
            continue;
        if (!лучший || *версия > лучший->версия)
            лучший = ВыбранныйТег{std::string(тег), *версия};
    }
    return лучший;
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
    const auto git = выполнить_процесс({"git", "ls-remote", "--tags", "--", url});
    if (!git)
        return неудача(fmt::format(тексты::не_удалось_запустить_git_установлен_ли, git.error()));
    if (!git->успешен())
        return неудача(
            fmt::format(тексты::ls_remote_не_удался, цитата(url), цитата_вывода(git->ошибки)));

    const auto тег = выбрать_тег(как_текст(git->вывод), интервал);
    if (!тег)
        return неудача(fmt::format(тексты::нет_подходящего_тега, цитата(url), цитата(требование),
                                   текст_интервала(интервал)));
    вывести_строку(тексты::разрешено_в_тег, имя, цитата(требование), цитата(тег->тег));
    return *тег;
}

}  // namespace vokra::пакеты
