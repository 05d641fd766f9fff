#include "вокра_пакеты/index.hpp"

#include <fmt/core.h>
#include <sys/stat.h>

#include <vector>

#include "unicode/lines.hpp"
#include "unicode/unicode.hpp"
#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/folder_lock.hpp"
#include "вокра_пакеты/git.hpp"
#include "вокра_пакеты/index_clone.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/output.hpp"
#include "вокра_пакеты/package_line.hpp"
#include "вокра_пакеты/package_names.hpp"
#include "вокра_пакеты/settings_folder.hpp"
#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

namespace {

bool есть_путь(const fs::path& путь) {
    struct stat сведения {};
    return ::stat(путь.c_str(), &сведения) == 0;
}

ИтогС<fs::path> путь_файла_с_адресом_индекса() {
    return папка_настроек_вокры().map(
        [](const fs::path& папка) { return папка / тексты::файл_адреса_индекса; });
}

ИтогС<fs::path> папка_индекса() {
    return папка_настроек_вокры().map(
        [](const fs::path& папка) { return папка / тексты::папка_индекса; });
}

// The catalogue comes from someone else's repository and must be a plain
// file: a link could make a file of the user's be read, shown in a parse
// error or copied into a manifest.
ИтогС<std::vector<Зависимость>> прочитать_каталог_индекса(const fs::path& индекс) {
    const fs::path путь = индекс / тексты::файл_каталога;
    if (!есть_путь(путь))
        return неудача(fmt::format(тексты::нет_каталога, тексты::файл_каталога));
    std::error_code ошибка;
    if (fs::symlink_status(путь, ошибка).type() != fs::file_type::regular)
        return неудача(
            fmt::format(тексты::не_удалось_прочитать_файл, путь.string(), тексты::не_обычный_файл));
    const auto текст = прочитать_текст(путь);
    if (!текст)
        return неудача(
            fmt::format(тексты::не_удалось_прочитать_файл, путь.string(), текст.error().текст));
    return разобрать_манифест(*текст);
}

// Fast-forwards the existing clone from the remote it was made from, once
// it is known to be a clone as git makes one.
Итог подтянуть(const fs::path& индекс, const std::string& адрес) {
    вывести_строку(тексты::обновляю_индекс, цитата(адрес));
    const auto откуда = проверить_клон_индекса(индекс);
    if (!откуда)
        return неудача(откуда.error());
    const auto git =
        выполнить_git({{"pull", "--ff-only"}, откуда->empty() ? адрес : *откуда, индекс});
    if (!git)
        return неудача(git.error().сообщение(тексты::не_удалось_запустить_git));
    if (!git->успешен())
        return неудача(fmt::format(тексты::git_pull_не_удался, цитата_вывода(git->ошибки)));
    return {};
}

Итог клонировать(const fs::path& индекс, const std::string& адрес) {
    вывести_строку(тексты::скачиваю_индекс, цитата(адрес));
    std::error_code пропускаем, ошибка;
    fs::remove_all(индекс, пропускаем);
    fs::create_directories(индекс.parent_path(), ошибка);
    if (ошибка)
        return неудача(
            fmt::format(тексты::не_удалось_создать_папку_настроек, текст_ошибки(ошибка)));
    // Only the last commit is fetched, without tags. "--" keeps an address
    // that starts with a dash from being read as an option.
    const auto git = выполнить_git({{"clone", "--depth", "1", "--no-tags", "--no-local", "--",
                                     адрес_для_git(адрес), индекс.string()},
                                    адрес});
    if (!git)
        return неудача(git.error().сообщение(тексты::не_удалось_запустить_git_установлен_ли));
    if (!git->успешен())
        return неудача(
            fmt::format(тексты::git_clone_индекса_не_удался, цитата_вывода(git->ошибки)));
    return {};
}

// The catalogue, fetching the index first when there is no local copy yet.
// An existing copy is used as it is: only `индекс-обновить` refreshes it.
ИтогС<std::vector<Зависимость>> загрузить_каталог_с_автообновлением() {
    const auto индекс = папка_индекса();
    if (!индекс)
        return неудача(индекс.error());
    if (auto ссылки = проверить_ссылки_настроек(индекс->parent_path()); !ссылки)
        return неудача(ссылки.error());
    if (!есть_путь(*индекс / тексты::файл_каталога))
        if (auto обновлён = обновить_индекс(); !обновлён)
            return неудача(обновлён.error());
    return прочитать_каталог_индекса(*индекс);
}

bool содержит_без_регистра(const std::string& текст, const std::string& запрос_строчными) {
    return в_нижний_регистр(текст).find(запрос_строчными) != std::string::npos;
}

std::string строка_манифеста(const Зависимость& запись) {
    std::string строка = fmt::format(тексты::новая_строка, запись.имя, запись.url);
    if (запись.ветка)
        строка += fmt::format(тексты::новая_ветка, *запись.ветка);
    if (запись.версия)
        строка += fmt::format(тексты::новая_версия, *запись.версия);
    if (запись.описание)
        строка += fmt::format(тексты::новое_описание, *запись.описание);
    return строка;
}

// The manifest may be a link to another file of the project, which is then
// written; a link that leads out of the project folder is never written
// through.
Итог проверить_ссылку_манифеста() {
    if (ссылка_за_пределы_проекта(тексты::файл_манифеста))
        return неудача(тексты::манифест_за_пределы);
    return {};
}

bool уже_в_манифесте(std::string_view текст, const std::string& имя) {
    for (const std::string_view строка : unicode::строки_без_возврата_каретки(текст))
        if (vokra::unicode::обрезать(строка.substr(0, строка.find('='))) == имя)
            return true;
    return false;
}

}  // namespace

Итог настроить_индекс(const std::string& адрес) {
    if (auto допустимый = проверить_адрес(адрес); !допустимый)
        return допустимый;
    const auto папка = папка_настроек_вокры();
    if (!папка)
        return неудача(папка.error());
    if (auto ссылки = проверить_ссылки_настроек(*папка); !ссылки)
        return ссылки;
    std::error_code ошибка;
    fs::create_directories(*папка, ошибка);
    if (ошибка)
        return неудача(
            fmt::format(тексты::не_удалось_создать, папка->string(), текст_ошибки(ошибка)));
    const auto замок = занять_папку(*папка);
    if (!замок)
        return неудача(замок.error());
    if (auto записан =
            записать_атомарно(*папка / тексты::файл_адреса_индекса, адрес, ЧерезСсылку::в_цель);
        !записан)
        return неудача(fmt::format(тексты::не_удалось_сохранить_адрес, записан.error()));
    вывести_строку(тексты::индекс_настроен, адрес);
    вывести_строку(тексты::дальше_обновить);
    return {};
}

Итог обновить_индекс() {
    const auto файл_адреса = путь_файла_с_адресом_индекса();
    if (!файл_адреса)
        return неудача(файл_адреса.error());
    if (auto ссылки = проверить_ссылки_настроек(файл_адреса->parent_path()); !ссылки)
        return ссылки;
    // Two refreshes at once would remove and clone the index under each
    // other.
    const auto замок = занять_папку(файл_адреса->parent_path());
    if (!замок)
        return неудача(замок.error());
    const auto текст = прочитать_текст(*файл_адреса);
    if (!текст)
        return неудача(тексты::адрес_не_настроен);
    const std::string адрес(vokra::unicode::обрезать(*текст));
    if (auto допустимый = проверить_адрес(адрес); !допустимый)
        return допустимый;

    const auto индекс = папка_индекса();
    if (!индекс)
        return неудача(индекс.error());
    std::error_code ошибка;
    const bool есть_клон =
        fs::symlink_status(*индекс / ".git", ошибка).type() != fs::file_type::not_found;
    if (auto получен = есть_клон ? подтянуть(*индекс, адрес) : клонировать(*индекс, адрес);
        !получен)
        return получен;

    const auto каталог = прочитать_каталог_индекса(*индекс);
    if (!каталог)
        return неудача(каталог.error());
    вывести_строку(тексты::готово_индекс, каталог->size());
    return {};
}

Итог искать_в_индексе(const std::string& запрос) {
    const std::string строчными = в_нижний_регистр(запрос);
    const auto каталог = загрузить_каталог_с_автообновлением();
    if (!каталог)
        return неудача(каталог.error());

    std::vector<const Зависимость*> найденные;
    for (const auto& запись : *каталог)
        if (содержит_без_регистра(запись.имя, строчными) ||
            (запись.описание && содержит_без_регистра(*запись.описание, строчными)))
            найденные.push_back(&запись);

    if (найденные.empty()) {
        вывести_строку(тексты::ничего_не_найдено, запрос);
        return {};
    }
    вывести_строку(тексты::найдено, найденные.size());
    for (const Зависимость* запись : найденные) {
        вывести_строку(тексты::найдено_имя, запись->имя);
        вывести_строку(тексты::найдено_подробность, запись->url);
        if (запись->описание)
            вывести_строку(тексты::найдено_подробность, *запись->описание);
        вывести_строку("");
    }
    вывести_строку(тексты::установить_подсказка);
    return {};
}

Итог добавить_из_индекса(const std::string& имя) {
    const auto замок = занять_проект();
    if (!замок)
        return неудача(замок.error());
    // The line becomes a folder name at the next install: a name that the
    // install refuses would make the whole manifest unusable.
    if (auto допустимо = проверить_имя_пакета(имя); !допустимо)
        return допустимо;
    if (auto ссылка = проверить_ссылку_манифеста(); !ссылка)
        return ссылка;
    const auto каталог = загрузить_каталог_с_автообновлением();
    if (!каталог)
        return неудача(каталог.error());
    std::vector<const Зависимость*> найденные;
    for (const auto& запись : *каталог)
        if (запись.имя == имя)
            найденные.push_back(&запись);
    if (найденные.empty())
        return неудача(fmt::format(тексты::нет_в_индексе, имя, имя));
    if (найденные.size() > 1)
        return неудача(fmt::format(тексты::несколько_в_индексе, найденные.size(), имя));

    // Only a missing manifest counts as empty; one that cannot be read is
    // never overwritten. A byte-order mark at its start stays where it is.
    auto текст = прочитать_текст_дословно(тексты::файл_манифеста);
    if (!текст && !текст.error().нет_файла)
        return неудача(fmt::format(тексты::не_удалось_прочитать_манифест, текст.error().текст));
    std::string старый = текст ? std::move(*текст) : std::string();
    const std::string_view написанное = без_метки_порядка_байтов(старый);
    if (уже_в_манифесте(написанное, имя)) {
        вывести_строку(тексты::уже_есть, имя);
        return {};
    }

    const std::string строка = строка_манифеста(*найденные.front());
    if (!написанное.empty() && !написанное.ends_with('\n'))
        старый += '\n';
    if (auto записан =
            записать_атомарно(тексты::файл_манифеста, старый + строка + "\n", ЧерезСсылку::в_цель);
        !записан)
        return неудача(fmt::format(тексты::не_удалось_записать_манифест, записан.error()));
    вывести_строку(тексты::добавлено, цитата(строка));
    вывести_строку(тексты::дальше_установить);
    return {};
}

}  // namespace vokra::пакеты
