#include "вокра_пакеты/git.hpp"

#include <algorithm>
#include <cerrno>
#include <iterator>

#include "вокра_пакеты/interruption.hpp"
#include "вокра_пакеты/leftovers.hpp"
#include "вокра_пакеты/messages.hpp"

extern char** environ;

namespace vokra::пакеты {

namespace {

// Enough of git's own error text to say what went wrong; a hostile server
// may send any amount of it.
constexpr std::size_t предел_вывода = 8192;

// Variables that would point git at a repository other than the one it
// finds (none) or that this program sets itself.
constexpr std::string_view заменяемые[] = {"GIT_DIR",
                                           "GIT_WORK_TREE",
                                           "GIT_COMMON_DIR",
                                           "GIT_INDEX_FILE",
                                           "GIT_OBJECT_DIRECTORY",
                                           "GIT_ALTERNATE_OBJECT_DIRECTORIES",
                                           "GIT_CEILING_DIRECTORIES",
                                           "GIT_TERMINAL_PROMPT",
                                           "GIT_ASKPASS",
                                           "SSH_ASKPASS_REQUIRE"};

std::vector<std::string> окружение_git(const std::string& границы) {
    std::vector<std::string> окружение;
    for (char** запись = environ; *запись != nullptr; ++запись) {
        const std::string_view строка(*запись);
        const std::string_view имя = строка.substr(0, строка.find('='));
        if (std::find(std::begin(заменяемые), std::end(заменяемые), имя) == std::end(заменяемые))
            окружение.emplace_back(строка);
    }
    // Git looks for a repository in its own folder and no further up.
    окружение.push_back("GIT_CEILING_DIRECTORIES=" + границы);
    // Neither git nor ssh may ask the person: no terminal prompt and no
    // password program (an empty GIT_ASKPASS also passes over core.askPass
    // and SSH_ASKPASS). Credential helpers of the person's settings still
    // answer.
    окружение.push_back("GIT_TERMINAL_PROMPT=0");
    окружение.push_back("GIT_ASKPASS=");
    окружение.push_back("SSH_ASKPASS_REQUIRE=never");
    return окружение;
}

}  // namespace

ИтогС<ИтогПроцесса> выполнить_git(const std::vector<std::string>& аргументы,
                                  const fs::path& репозиторий,
                                  std::function<void(std::string_view)> вывод_частями) {
    if (auto прерывание = проверить_прерывание(); !прерывание)
        return неудача(прерывание.error());
    auto папка = создать_временную_папку(папка_временных_файлов(), префикс_временной_папки());
    if (!папка)
        return неудача(папка.error());
    std::string границы = папка->путь.parent_path().string();
    if (!репозиторий.empty())
        границы += ":" + репозиторий.parent_path().string();

    ЗапускПроцесса запуск;
    // A repository that git does find must be named on its command line,
    // never taken for one because of files that look like a bare one. The
    // `fd` transport would talk to git's own pipes and hang.
    запуск.аргументы = {"git", "-c", "safe.bareRepository=explicit", "-c",
                        "protocol.fd.allow=never"};
    if (!репозиторий.empty())
        запуск.аргументы.insert(запуск.аргументы.end(), {"-C", репозиторий.string()});
    запуск.аргументы.insert(запуск.аргументы.end(), аргументы.begin(), аргументы.end());
    запуск.папка = папка->путь;
    запуск.окружение = окружение_git(границы);
    запуск.новый_сеанс = true;
    запуск.предел = предел_вывода;
    запуск.вывод_частями = std::move(вывод_частями);

    auto итог = запустить_процесс(запуск);
    // An address longer than the system passes to a program fails like an
    // address that git refuses, not like a missing git.
    if (!итог && итог.error() == E2BIG) {
        ИтогПроцесса отказ;
        отказ.ошибки = текст_ошибки_ос(E2BIG);
        return отказ;
    }
    if (!итог)
        return неудача(текст_ошибки_ос(итог.error()));
    // A git that this program ended on an interruption failed for that.
    if (auto прерывание = проверить_прерывание(); !прерывание)
        return неудача(прерывание.error());
    return std::move(*итог);
}

std::string адрес_для_git(const std::string& адрес) {
    // Git reads an address as a local path when it has no colon, or a slash
    // before its first colon; otherwise it is a URL, host:path or helper::.
    const auto двоеточие = адрес.find(':');
    const bool локальный = двоеточие == std::string::npos || адрес.find('/') < двоеточие;
    if (адрес.empty() || !локальный || адрес.front() == '/')
        return адрес;
    std::error_code ошибка;
    const fs::path здесь = fs::current_path(ошибка);
    if (ошибка)
        return адрес;
    return (здесь / адрес).string();
}

}  // namespace vokra::пакеты
