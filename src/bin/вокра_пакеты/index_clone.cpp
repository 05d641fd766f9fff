#include "вокра_пакеты/index_clone.hpp"

#include <fmt/core.h>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "вокра_пакеты/git.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

namespace {

// What `git clone` writes into the configuration of a new clone, keys as git
// lists them (section and key in lower case): the repository's format and
// the file system's traits, and the remote with its branch.
bool записано_клоном(std::string_view ключ) {
    constexpr std::string_view свойства[] = {"core.repositoryformatversion",
                                             "core.filemode",
                                             "core.bare",
                                             "core.logallrefupdates",
                                             "core.ignorecase",
                                             "core.precomposeunicode",
                                             "core.symlinks",
                                             "extensions.objectformat"};
    if (std::find(std::begin(свойства), std::end(свойства), ключ) != std::end(свойства))
        return true;
    // remote.<имя>.url, .fetch, .tagopt and branch.<имя>.remote, .merge.
    const auto первая = ключ.find('.');
    const auto последняя = ключ.rfind('.');
    if (первая == std::string_view::npos || первая == последняя)
        return false;
    const std::string_view раздел = ключ.substr(0, первая);
    const std::string_view имя = ключ.substr(последняя + 1);
    if (раздел == "remote")
        return имя == "url" || имя == "fetch" || имя == "tagopt";
    return раздел == "branch" && (имя == "remote" || имя == "merge");
}

// Files that make git read another repository's objects or folders.
constexpr std::string_view чужие_файлы[] = {"commondir", "objects/info/alternates"};

}  // namespace

ИтогС<std::string> проверить_клон_индекса(const fs::path& индекс) {
    const auto чужой = [&](const std::string& причина) {
        return неудача(fmt::format(тексты::клон_индекса_чужой, индекс.string(), причина));
    };
    const fs::path папка_git = индекс / ".git";
    std::error_code ошибка;
    if (fs::symlink_status(папка_git, ошибка).type() != fs::file_type::directory)
        return чужой(тексты::клон_без_папки_git);
    for (const std::string_view файл : чужие_файлы)
        if (fs::symlink_status(папка_git / файл, ошибка).type() != fs::file_type::not_found)
            return чужой(fmt::format(тексты::клон_с_файлом, (fs::path(".git") / файл).string()));

    // Git itself reads the configuration, so that it is read exactly as the
    // pull would read it; the files it would include are not read.
    const fs::path настройки = fs::absolute(папка_git / "config", ошибка);
    if (fs::symlink_status(настройки, ошибка).type() != fs::file_type::regular)
        return чужой(fmt::format(тексты::клон_настройки_не_читаются, тексты::не_обычный_файл));
    if (fs::file_size(настройки, ошибка) > наибольший_размер_файла)
        return чужой(
            fmt::format(тексты::клон_настройки_не_читаются,
                        fmt::format(тексты::файл_слишком_большой, наибольший_размер_файла >> 20)));
    std::string список;
    const auto git = выполнить_git(
        {{"config", "--file", настройки.string(), "--no-includes", "--null", "--list"},
         настройки.string(),
         {},
         [&список](std::string_view часть) { список.append(часть); }});
    if (!git)
        return неудача(git.error().сообщение(тексты::не_удалось_запустить_git));
    if (!git->успешен())
        return чужой(fmt::format(тексты::клон_настройки_не_читаются, цитата_вывода(git->ошибки)));

    // Entries end with a NUL; a key ends at the first line break.
    std::string адрес;
    std::string_view остаток = список;
    while (!остаток.empty()) {
        const std::string_view запись = остаток.substr(0, остаток.find('\0'));
        остаток.remove_prefix(std::min(остаток.size(), запись.size() + 1));
        const std::string_view ключ = запись.substr(0, запись.find('\n'));
        if (!записано_клоном(ключ))
            return чужой(fmt::format(тексты::клон_с_настройкой, цитата(ключ)));
        if (адрес.empty() && ключ.starts_with("remote.") && ключ.ends_with(".url"))
            адрес = запись.substr(std::min(запись.size(), ключ.size() + 1));
    }
    return адрес;
}

}  // namespace vokra::пакеты
