#include "вокра_пакеты/install.hpp"

#include <fmt/format.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "unicode/lines.hpp"
#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/folder_lock.hpp"
#include "вокра_пакеты/git.hpp"
#include "вокра_пакеты/interruption.hpp"
#include "вокра_пакеты/leftovers.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/output.hpp"
#include "вокра_пакеты/package_line.hpp"
#include "вокра_пакеты/package_names.hpp"
#include "вокра_пакеты/resolve.hpp"
#include "вокра_пакеты/text.hpp"
#include "вокра_пакеты/versions.hpp"

namespace vokra::пакеты {

namespace {

// A dependency line and the package whose manifest named it (none for the
// project's own manifest).
struct Запрос {
    Зависимость зависимость;
    std::optional<std::string> запросивший;
};

// What this run chose for one package name.
struct ВыбранныйПакет {
    bool семантический = false;  // the request's version was exact or a range
    ИнтервалВерсий интервал;
    std::optional<Версия> выбранная_версия;
    std::string url;
    std::optional<std::string> тег;
    std::optional<std::string> запросивший;
};

struct Установка {
    ЗаписиБлокировки блокировка;
    std::deque<Запрос> очередь;
    std::map<std::string, ВыбранныйПакет> выбранные;
    // Requester names per package, in order of first request.
    std::map<std::string, std::vector<std::string>> требующие;
    std::uint32_t прямых = 0;
    std::uint32_t транзитивных = 0;
    std::uint32_t переустановок = 0;
};

std::string происхождение(const std::optional<std::string>& запросивший,
                          fmt::format_string<const std::string&> через_пакет) {
    return запросивший ? fmt::format(через_пакет, *запросивший)
                       : std::string(тексты::запрошен_напрямую);
}

// Names become folders, and addresses, branches and versions reach git: each
// must be used exactly as it is written.
Итог проверить_записи(const std::vector<Зависимость>& зависимости) {
    for (const auto& зависимость : зависимости) {
        if (auto имя = проверить_имя_пакета(зависимость.имя); !имя)
            return имя;
        if (auto адрес = проверить_адрес(зависимость.url); !адрес)
            return адрес;
        for (const auto& ссылка : {зависимость.ветка, зависимость.версия})
            if (ссылка && есть_управляющий_символ(*ссылка))
                return неудача(fmt::format(тексты::недопустимая_ветка_или_версия, цитата(*ссылка),
                                           цитата(зависимость.имя)));
    }
    return {};
}

// A package that came over the network names repositories over the network
// only: a path of this machine in its manifest would copy a repository of the
// person's into the project.
Итог проверить_адреса_сетевого_пакета(const Зависимость& пакет,
                                      const std::vector<Зависимость>& зависимости) {
    if (локальный_адрес(пакет.url))
        return {};
    for (const auto& зависимость : зависимости)
        if (локальный_адрес(зависимость.url))
            return неудача(fmt::format(тексты::локальный_адрес_сетевого_пакета, пакет.имя,
                                       цитата(зависимость.url)));
    return {};
}

ИтогС<std::vector<Зависимость>> прочитать_манифест_проекта() {
    if (ссылка_за_пределы_проекта(тексты::файл_манифеста))
        return неудача(тексты::манифест_ссылка_за_пределы);
    const auto текст = прочитать_текст(тексты::файл_манифеста);
    if (!текст && текст.error().нет_файла)
        return неудача(тексты::нет_манифеста);
    if (!текст)
        return неудача(fmt::format(тексты::не_удалось_прочитать_манифест, текст.error().текст));
    return разобрать_манифест(*текст);
}

// A lock file that cannot be used is reported and then ignored: the ranges
// are resolved afresh and the file is rewritten at the end. One that links
// out of the project is not read, so nothing of its target is shown.
ЗаписиБлокировки прочитать_блокировку() {
    ЗаписиБлокировки записи;
    const auto текст = ссылка_за_пределы_проекта(тексты::файл_блокировки)
                           ? tl::unexpected(ОшибкаЧтения{false, тексты::ссылка_за_пределы_проекта})
                           : прочитать_текст(тексты::файл_блокировки);
    if (!текст && текст.error().нет_файла)
        return записи;
    auto зависимости = текст ? разобрать_манифест(*текст)
                             : ИтогС<std::vector<Зависимость>>(неудача(текст.error().текст));
    if (!зависимости) {
        вывести_строку(тексты::блокировка_не_читается, зависимости.error());
        return записи;
    }
    for (auto& зависимость : *зависимости)
        записи[зависимость.имя] = std::move(зависимость);
    return записи;
}

std::string строка_метаданных(std::string_view ключ, std::string_view значение) {
    return fmt::format("{}={}\n", ключ, значение);
}

std::string текст_метаданных(const Запрос& запрос, std::size_t собственных) {
    const auto& з = запрос.зависимость;
    std::string текст = строка_метаданных(тексты::ключ_имя, з.имя) +
                        строка_метаданных(тексты::ключ_источник, з.url);
    if (з.ветка)
        текст += строка_метаданных(тексты::ключ_ветка, *з.ветка);
    if (з.версия)
        текст += строка_метаданных(тексты::ключ_версия, *з.версия);
    if (з.описание)
        текст += строка_метаданных(тексты::ключ_описание, *з.описание);
    if (запрос.запросивший)
        текст += строка_метаданных(тексты::ключ_транзитивная_через, *запрос.запросивший);
    if (собственных > 0)
        текст +=
            строка_метаданных(тексты::ключ_собственных_зависимостей, std::to_string(собственных));
    return текст;
}

Итог клонировать(const Зависимость& з, const fs::path& куда) {
    // Only the commit to install is fetched, without the repository's other
    // tags; a local repository is read like a remote one, not copied whole.
    std::vector<std::string> аргументы{"clone", "--depth", "1", "--no-tags", "--no-local"};
    if (з.ветка || з.версия) {
        аргументы.push_back("--branch");
        аргументы.push_back(з.ветка ? *з.ветка : *з.версия);
    }
    // "--" keeps an address that starts with a dash from being read as an option.
    аргументы.insert(аргументы.end(), {"--", адрес_для_git(з.url), куда.string()});
    const auto git = выполнить_git({std::move(аргументы), з.url});
    if (!git)
        return неудача(git.error().сообщение(тексты::не_удалось_запустить_git_установлен_ли));
    if (!git->успешен())
        return неудача(fmt::format(тексты::git_clone_не_удался, з.имя, цитата_вывода(git->ошибки)));
    return {};
}

// The `.код` files at the root of the clone. Only regular files count: a link
// could pull a file of the user's into the project.
ИтогС<std::vector<fs::path>> файлы_кода(const fs::path& клон, const std::string& имя) {
    const fs::path расширение = std::string(".") + тексты::расширение_кода;
    std::vector<fs::path> файлы;
    std::error_code ошибка;
    fs::directory_iterator запись(клон, ошибка);
    if (ошибка)
        return неудача(fmt::format(тексты::не_удалось_прочитать_клон, имя, текст_ошибки(ошибка)));
    for (const fs::directory_iterator конец; запись != конец; запись.increment(ошибка)) {
        const fs::path& путь = запись->path();
        if (путь.extension() != расширение)
            continue;
        std::error_code тип;
        if (запись->symlink_status(тип).type() == fs::file_type::regular)
            файлы.push_back(путь);
        else
            вывести_строку(тексты::пропускаю_не_файл, путь.filename().string(), имя);
    }
    if (ошибка)
        return неудача(fmt::format(тексты::ошибка_чтения_записи_каталога, текст_ошибки(ошибка)));
    if (файлы.empty())
        return неудача(fmt::format(тексты::нет_файлов_кода, имя));
    return файлы;
}

// The package's own manifest comes from someone else's repository, so its
// names and addresses are checked like the project's before anything is
// installed. It must be a plain file: a link could make a file of the user's
// be read, and a parse error would then show its first line.
ИтогС<std::vector<Зависимость>> собственный_манифест(const fs::path& клон,
                                                     const Зависимость& пакет) {
    const std::string& имя = пакет.имя;
    const fs::path путь = клон / тексты::файл_манифеста;
    std::error_code ошибка;
    const auto тип = fs::symlink_status(путь, ошибка).type();
    if (тип == fs::file_type::not_found)
        return std::vector<Зависимость>{};
    if (тип != fs::file_type::regular)
        return неудача(fmt::format(тексты::не_удалось_прочитать_собственный_манифест, имя,
                                   тексты::не_обычный_файл));
    const auto текст = прочитать_текст(путь);
    if (!текст)
        return неудача(fmt::format(тексты::не_удалось_прочитать_собственный_манифест, имя,
                                   текст.error().текст));
    auto зависимости = разобрать_манифест(*текст);
    Итог записи = зависимости ? проверить_записи(*зависимости) : неудача(зависимости.error());
    if (!записи)
        return неудача(fmt::format(тексты::некорректный_собственный_манифест, имя, записи.error()));
    if (auto адреса = проверить_адреса_сетевого_пакета(пакет, *зависимости); !адреса)
        return неудача(адреса.error());
    return зависимости;
}

// Fills a new folder inside `пакеты/` with the files and the metadata.
ИтогС<ВременнаяПапка> собрать_папку(const Запрос& запрос, const std::vector<fs::path>& файлы,
                                    std::size_t собственных) {
    const std::string& имя = запрос.зависимость.имя;
    auto папка = создать_временную_папку(папка_пакетов(), тексты::префикс_новой_папки);
    const Итог права = папка ? дать_права_новой_папки(папка->путь) : неудача(папка.error());
    if (!права)
        return неудача(fmt::format(тексты::не_удалось_создать_папку_пакета, имя, права.error()));
    for (const auto& файл : файлы) {
        if (auto копия = скопировать_файл(файл, папка->путь / файл.filename()); !копия)
            return неудача(
                fmt::format(тексты::не_удалось_скопировать, файл.string(), копия.error()));
        отметить_шаг();
        вывести_строку(тексты::скопирован_файл, имя, файл.filename().string());
    }
    const auto метаданные = записать_атомарно(папка->путь / тексты::файл_метаданных,
                                              текст_метаданных(запрос, собственных));
    if (!метаданные)
        return неудача(
            fmt::format(тексты::не_удалось_записать_метаданные, имя, метаданные.error()));
    return папка;
}

// The new version is in place by now, so an old copy that cannot be removed
// (a read-only folder in it) no longer fails the install: it is named in a
// warning and stays as a leftover that the next install removes.
void убрать_старую_копию(const fs::path& папка, const std::string& имя) {
    std::error_code ошибка;
    fs::remove_all(папка, ошибка);
    if (ошибка)
        вывести_строку(тексты::старая_копия_осталась, имя, папка.string(), текст_ошибки(ошибка));
    else
        отметить_шаг();
}

// Where the file system cannot exchange two folders, the old one is moved
// aside first and put back if the new one cannot take its place.
Итог заменить_в_два_шага(ВременнаяПапка& новая, const std::string& имя, const fs::path& цель) {
    auto в_сторону = отодвинуть_пакет(имя);
    if (!в_сторону)
        return неудача(
            fmt::format(тексты::не_удалось_очистить_старую_версию, имя, в_сторону.error()));
    std::error_code ошибка;
    fs::rename(новая.путь, цель, ошибка);
    if (ошибка) {
        std::error_code пропускаем;
        fs::rename(в_сторону->путь / имя, цель, пропускаем);
        return неудача(
            fmt::format(тексты::не_удалось_создать_папку_пакета, имя, текст_ошибки(ошибка)));
    }
    отметить_шаг();
    новая.путь.clear();
    убрать_старую_копию(в_сторону->путь, имя);
    в_сторону->путь.clear();
    return {};
}

// Puts the new folder in the package's place so that the name always holds
// either the whole old version or the whole new one: the two are exchanged
// in one step, and the old one, now under the new folder's name, is removed.
Итог заменить_папку(ВременнаяПапка& новая, const std::string& имя) {
    const fs::path цель = папка_пакетов() / имя;
    std::error_code ошибка;
    if (fs::symlink_status(цель, ошибка).type() == fs::file_type::not_found) {
        fs::rename(новая.путь, цель, ошибка);
        if (ошибка)
            return неудача(
                fmt::format(тексты::не_удалось_создать_папку_пакета, имя, текст_ошибки(ошибка)));
        отметить_шаг();
        новая.путь.clear();
        return {};
    }
    const auto обмен = обменять(новая.путь, цель);
    if (!обмен && (обмен.error() == EINVAL || обмен.error() == ENOSYS))
        return заменить_в_два_шага(новая, имя, цель);
    if (!обмен)
        return неудача(fmt::format(тексты::не_удалось_создать_папку_пакета, имя,
                                   текст_ошибки_ос(обмен.error())));
    убрать_старую_копию(новая.путь, имя);
    новая.путь.clear();
    return {};
}

// Clones the package, checks what it brings, then replaces its folder; on any
// failure the installed package stays as it was.
Итог установить_одну_зависимость(Установка& у, const Запрос& запрос) {
    const auto& з = запрос.зависимость;
    if (запрос.запросивший)
        вывести_строку(тексты::устанавливаю_транзитивную, з.имя, цитата(з.url),
                       *запрос.запросивший);
    else
        вывести_строку(тексты::устанавливаю, з.имя, цитата(з.url));

    auto клон = создать_временную_папку(папка_временных_файлов(), префикс_временной_папки());
    if (!клон)
        return неудача(
            fmt::format(тексты::не_удалось_создать_временную_папку, з.имя, клон.error()));
    if (auto итог = клонировать(з, клон->путь); !итог)
        return итог;
    const auto файлы = файлы_кода(клон->путь, з.имя);
    if (!файлы)
        return неудача(файлы.error());
    const auto собственные = собственный_манифест(клон->путь, з);
    if (!собственные)
        return неудача(собственные.error());

    auto новая = собрать_папку(запрос, *файлы, собственные->size());
    if (!новая)
        return неудача(новая.error());
    if (auto итог = заменить_папку(*новая, з.имя); !итог)
        return итог;

    for (const auto& зависимость : *собственные)
        у.очередь.push_back({зависимость, з.имя});
    return {};
}

Итог конфликт(const std::string& имя, const ВыбранныйПакет& выбранный,
              const ИнтервалВерсий& запрошенный, const Запрос& запрос) {
    return неудача(
        fmt::format(тексты::конфликт_версий, имя, текст_интервала(выбранный.интервал),
                    цитата(выбранный.тег.value_or(тексты::нет_тега)),
                    происхождение(выбранный.запросивший, тексты::запрошен_через_пакет),
                    текст_интервала(запрошенный),
                    происхождение(запрос.запросивший, тексты::запрошен_транзитивно_через)));
}

Итог выбрать_впервые(Установка& у, Запрос запрос, const ТребованиеВерсии& требование) {
    auto& з = запрос.зависимость;
    ВыбранныйПакет выбранный;
    выбранный.url = з.url;
    выбранный.запросивший = запрос.запросивший;
    if (требование.вид == ВидВерсии::каретка || требование.вид == ВидВерсии::тильда) {
        const auto тег =
            разрешить_версию_пакета(з.имя, з.url, *з.версия, требование.интервал, у.блокировка);
        if (!тег)
            return неудача(тег.error());
        з.версия = тег->тег;
        выбранный.выбранная_версия = тег->версия;
    } else if (требование.вид == ВидВерсии::точная) {
        выбранный.выбранная_версия = требование.интервал.от;
    }
    выбранный.семантический = требование.вид != ВидВерсии::нет;
    выбранный.интервал = требование.интервал;
    выбранный.тег = з.версия;
    у.выбранные.emplace(з.имя, выбранный);
    ++(запрос.запросивший ? у.транзитивных : у.прямых);
    return установить_одну_зависимость(у, запрос);
}

// Both requests carry versions: the package must satisfy both intervals.
Итог сузить(Установка& у, Запрос запрос, ВыбранныйПакет& выбранный,
            const ИнтервалВерсий& запрошенный) {
    const std::string имя = запрос.зависимость.имя;
    const ИнтервалВерсий суженный = пересечь(выбранный.интервал, запрошенный);
    if (пуст(суженный))
        return конфликт(имя, выбранный, запрошенный, запрос);
    if (выбранный.выбранная_версия && содержит(суженный, *выбранный.выбранная_версия)) {
        выбранный.интервал = суженный;
        return {};
    }
    вывести_строку(тексты::сужение_интервала, имя, текст_интервала(суженный),
                   цитата(выбранный.тег.value_or(тексты::нет_тега)));
    const auto тег = разрешить_версию_пакета(
        имя, запрос.зависимость.url,
        fmt::format(тексты::пересечение_диапазонов, текст_интервала(суженный)), суженный,
        у.блокировка);
    if (!тег)
        return неудача(тег.error());
    выбранный = {true, суженный, тег->версия, запрос.зависимость.url, тег->тег, запрос.запросивший};
    ++у.переустановок;
    запрос.зависимость.версия = тег->тег;
    return установить_одну_зависимость(у, запрос);
}

Итог обработать(Установка& у, Запрос запрос) {
    const std::string имя = запрос.зависимость.имя;
    if (запрос.запросивший) {
        auto& требующие = у.требующие[имя];
        if (std::find(требующие.begin(), требующие.end(), *запрос.запросивший) == требующие.end())
            требующие.push_back(*запрос.запросивший);
    }
    const auto требование = требование_версии(запрос.зависимость.версия.value_or(""));
    const auto найден = у.выбранные.find(имя);
    if (найден == у.выбранные.end())
        return выбрать_впервые(у, std::move(запрос), требование);

    ВыбранныйПакет& выбранный = найден->second;
    if (выбранный.url != запрос.зависимость.url)
        return неудача(
            fmt::format(тексты::два_адреса, имя, цитата(выбранный.url),
                        происхождение(выбранный.запросивший, тексты::запрошен_через_пакет),
                        цитата(запрос.зависимость.url),
                        происхождение(запрос.запросивший, тексты::запрошен_через_пакет)));
    if (выбранный.семантический && требование.вид != ВидВерсии::нет)
        return сузить(у, std::move(запрос), выбранный, требование.интервал);

    if (выбранный.тег == запрос.зависимость.версия)
        return {};
    вывести_строку(тексты::запрошен_снова, имя,
                   запрос.запросивший
                       ? fmt::format(тексты::снова_транзитивно_через, *запрос.запросивший)
                       : std::string(),
                   цитата(запрос.зависимость.версия.value_or(тексты::без_версии)),
                   цитата(выбранный.тег.value_or(тексты::без_версии)));
    return {};
}

// Each package's metadata learns which packages required it in this run.
Итог записать_требующих(const Установка& у) {
    constexpr std::string_view ключ = тексты::ключ_требуется_пакетами;
    for (const auto& [имя, требующие] : у.требующие) {
        if (требующие.empty() || !у.выбранные.contains(имя))
            continue;
        const fs::path путь = папка_пакетов() / имя / тексты::файл_метаданных;
        const auto старый = прочитать_текст(путь);
        if (!старый)
            return неудача(
                fmt::format(тексты::не_удалось_обновить_метаданные, имя, старый.error().текст));
        std::string текст;
        for (const std::string_view строка : unicode::строки_без_возврата_каретки(*старый)) {
            if (строка.starts_with(ключ) && строка.substr(ключ.size()).starts_with('='))
                continue;
            текст.append(строка);
            текст += '\n';
        }
        текст += строка_метаданных(ключ, fmt::format("{}", fmt::join(требующие, ",")));
        if (auto записано = записать_атомарно(путь, текст); !записано)
            return неудача(
                fmt::format(тексты::не_удалось_обновить_метаданные, имя, записано.error()));
    }
    return {};
}

// Only packages chosen by a version are locked; the lock file goes away when
// there are none.
Итог записать_блокировку(const Установка& у) {
    std::string текст;
    for (const auto& [имя, выбранный] : у.выбранные)
        if (выбранный.семантический && выбранный.тег)
            текст +=
                fmt::format(тексты::строка_блокировки, имя, выбранный.url, *выбранный.тег) + "\n";
    if (текст.empty()) {
        std::error_code пропускаем;
        fs::remove(тексты::файл_блокировки, пропускаем);
        return {};
    }
    if (auto записано =
            записать_атомарно(тексты::файл_блокировки, тексты::заголовок_блокировки + текст);
        !записано)
        return неудача(fmt::format(тексты::не_удалось_записать_блокировку, записано.error()));
    return {};
}

}  // namespace

Итог установить_зависимости(bool игнорировать_блокировку) {
    const auto замок = занять_проект();
    if (!замок)
        return неудача(замок.error());
    const auto зависимости = прочитать_манифест_проекта();
    if (!зависимости)
        return неудача(зависимости.error());
    if (auto папка = проверить_папку_пакетов(); !папка)
        return папка;
    if (auto записи = проверить_записи(*зависимости); !записи)
        return записи;
    // What runs that were killed outright left behind.
    убрать_брошенные_файлы_блокировки();
    убрать_брошенные_временные_папки();
    if (зависимости->empty()) {
        вывести_строку(тексты::нет_зависимостей);
        std::error_code пропускаем;
        fs::remove(тексты::файл_блокировки, пропускаем);
        return {};
    }

    Установка у;
    if (!игнорировать_блокировку)
        у.блокировка = прочитать_блокировку();
    std::error_code ошибка;
    fs::create_directories(папка_пакетов(), ошибка);
    if (ошибка)
        return неудача(fmt::format(тексты::не_удалось_создать_пакеты, текст_ошибки(ошибка)));
    // Folders that an interrupted command left in `пакеты/` go before
    // anything else is done there.
    убрать_брошенные_папки_пакетов();

    for (const auto& зависимость : *зависимости)
        у.очередь.push_back({зависимость, std::nullopt});
    while (!у.очередь.empty()) {
        if (auto прерывание = проверить_прерывание(); !прерывание)
            return прерывание;
        Запрос запрос = std::move(у.очередь.front());
        у.очередь.pop_front();
        if (auto итог = обработать(у, std::move(запрос)); !итог)
            return итог;
    }

    if (auto прерывание = проверить_прерывание(); !прерывание)
        return прерывание;
    if (auto итог = записать_требующих(у); !итог)
        return итог;
    if (auto итог = записать_блокировку(у); !итог)
        return итог;
    вывести_строку(тексты::итог_установки, у.прямых + у.транзитивных, у.транзитивных,
                   у.переустановок);
    return {};
}

}  // namespace vokra::пакеты
