// Picking the git tag that satisfies a version range: the tag recorded in the
// lock file when it still fits, else the greatest fitting tag of the
// repository.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "вокра_пакеты/package_line.hpp"
#include "вокра_пакеты/result.hpp"
#include "вокра_пакеты/versions.hpp"

namespace vokra::пакеты {

struct ВыбранныйТег {
    std::string тег;  // exactly as the lock file or the repository writes it
    Версия версия;
};

// Lock file entries by package name.
using ЗаписиБлокировки = std::map<std::string, Зависимость>;

// The tag of greatest version inside the interval among the lines of
// `git ls-remote --tags` output; of equal versions the first listed stays.
// Only tags that a lock file line reads back unchanged are chosen.
// The output is taken piece by piece as it comes, and only the unfinished
// line is kept, so a repository with any number of tags takes little
// memory; a line longer than any reference is skipped whole.
struct ПоискТега {
    const ИнтервалВерсий& интервал;
    std::optional<ВыбранныйТег> лучший = {};
    std::string начало = {};
    bool пропуск = false;

    void принять(std::string_view часть);
    // The last line may lack its line break.
    void закончить();
};

std::optional<ВыбранныйТег> выбрать_тег(std::string_view вывод_ls_remote,
                                        const ИнтервалВерсий& интервал);

// `требование` is shown in messages only: the range as written, or the
// caller's description of a narrowed interval.
ИтогС<ВыбранныйТег> разрешить_версию_пакета(const std::string& имя, const std::string& url,
                                            const std::string& требование,
                                            const ИнтервалВерсий& интервал,
                                            const ЗаписиБлокировки& блокировка);

}  // namespace vokra::пакеты
