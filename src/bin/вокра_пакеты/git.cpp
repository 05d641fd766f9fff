#include "вокра_пакеты/git.hpp"

#include <fmt/core.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iterator>

#include "вокра_пакеты/interruption.hpp"
#include "вокра_пакеты/leftovers.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/text.hpp"

extern char** environ;

namespace vokra::пакеты {

namespace {

// Enough of git's own error text to say what went wrong; a hostile server
// may send any amount of it.
constexpr std::size_t предел_вывода = 8192;

// Without a word from git or its server for this long, git is ended.
constexpr std::chrono::seconds предел_тишины_по_умолчанию{120};

std::chrono::seconds предел_тишины_git() {
    const char* значение = std::getenv("VOKRA_PAKETY_GIT_TIMEOUT");
    if (значение == nullptr)
        return предел_тишины_по_умолчанию;
    const std::string_view текст(значение);
    std::int64_t секунд = 0;
    const auto [конец, ошибка] = std::from_chars(текст.data(), текст.data() + текст.size(), секунд);
    if (ошибка != std::errc() || конец != текст.data() + текст.size() || секунд < 1 ||
        секунд > 24 * 3600)
        return предел_тишины_по_умолчанию;
    return std::chrono::seconds(секунд);
}

// Variables that would point git at a repository other than the one it
// finds (none), that could name a folder of the project as the person's own,
// or that this program sets itself.
constexpr std::string_view заменяемые[] = {"GIT_DIR",
                                           "GIT_WORK_TREE",
                                           "GIT_COMMON_DIR",
                                           "GIT_INDEX_FILE",
                                           "GIT_OBJECT_DIRECTORY",
                                           "GIT_ALTERNATE_OBJECT_DIRECTORIES",
                                           "GIT_CEILING_DIRECTORIES",
                                           "GIT_TERMINAL_PROMPT",
                                           "GIT_ASKPASS",
                                           "SSH_ASKPASS_REQUIRE",
                                           "HOME",
                                           "XDG_CONFIG_HOME",
                                           "PATH"};

bool абсолютный(std::string_view путь) {
    return путь.starts_with('/');
}

// Only the absolute folders of PATH: git resolves the others in the folder
// it works in, which may be a repository that came from elsewhere.
std::string абсолютные_папки(std::string_view path) {
    std::string итог;
    for (;;) {
        const auto двоеточие = path.find(':');
        const std::string_view папка = path.substr(0, двоеточие);
        if (абсолютный(папка)) {
            if (!итог.empty())
                итог += ':';
            итог += папка;
        }
        if (двоеточие == std::string_view::npos)
            return итог;
        path.remove_prefix(двоеточие + 1);
    }
}

std::vector<std::string> окружение_git(const std::string& границы, const fs::path& своя_папка,
                                       std::chrono::seconds предел) {
    std::vector<std::string> окружение;
    for (char** запись = environ; *запись != nullptr; ++запись) {
        const std::string_view строка(*запись);
        const auto равно = строка.find('=');
        const std::string_view имя = строка.substr(0, равно);
        const std::string_view значение =
            равно == std::string_view::npos ? std::string_view() : строка.substr(равно + 1);
        if (std::find(std::begin(заменяемые), std::end(заменяемые), имя) == std::end(заменяемые))
            окружение.emplace_back(строка);
        // The person's own settings are read where HOME names an absolute
        // folder. An empty or relative HOME would name a folder of the
        // project, or of the repository git works in, whose files are no
        // settings of the person's: git then gets its own empty folder.
        else if ((имя == "HOME" || имя == "XDG_CONFIG_HOME") && абсолютный(значение))
            окружение.emplace_back(строка);
        else if (имя == "PATH")
            окружение.push_back("PATH=" + абсолютные_папки(значение));
    }
    const char* дом = std::getenv("HOME");
    if (дом == nullptr || !абсолютный(дом))
        окружение.push_back("HOME=" + своя_папка.string());
    // Git looks for a repository in its own folder and no further up.
    окружение.push_back("GIT_CEILING_DIRECTORIES=" + границы);
    // Neither git nor ssh may ask the person: no terminal prompt and no
    // password program (an empty GIT_ASKPASS also passes over core.askPass
    // and SSH_ASKPASS). Credential helpers of the person's settings still
    // answer.
    окружение.push_back("GIT_TERMINAL_PROMPT=0");
    окружение.push_back("GIT_ASKPASS=");
    окружение.push_back("SSH_ASKPASS_REQUIRE=never");
    // Over HTTP, a transfer that averages less than a byte a second over
    // twice the silence limit ends too, though it still trickles; a silent
    // one ends by the limit first. The person's own figures win.
    if (std::getenv("GIT_HTTP_LOW_SPEED_LIMIT") == nullptr &&
        std::getenv("GIT_HTTP_LOW_SPEED_TIME") == nullptr) {
        окружение.push_back("GIT_HTTP_LOW_SPEED_LIMIT=1");
        окружение.push_back("GIT_HTTP_LOW_SPEED_TIME=" + std::to_string(2 * предел.count()));
    }
    return окружение;
}

}  // namespace

std::string ОтказGit::сообщение(fmt::format_string<const std::string&> не_запущен) const {
    return не_запустился ? fmt::format(не_запущен, текст) : текст;
}

tl::expected<ИтогПроцесса, ОтказGit> выполнить_git(const ЗапускGit& git) {
    const auto готовое = [](std::string сообщение) {
        return tl::unexpected(ОтказGit{false, std::move(сообщение)});
    };
    if (auto прерывание = проверить_прерывание(); !прерывание)
        return готовое(прерывание.error());
    const fs::path временные = папка_временных_файлов();
    auto папка = создать_временную_папку(временные, префикс_временной_папки());
    if (!папка)
        return готовое(fmt::format(тексты::не_удалось_создать_временную_папку_git,
                                   временные.string(), папка.error()));
    std::string границы = папка->путь.parent_path().string();
    if (!git.репозиторий.empty())
        границы += ":" + git.репозиторий.parent_path().string();
    const auto предел = предел_тишины_git();

    ЗапускПроцесса запуск;
    // A repository that git does find must be named on its command line,
    // never taken for one because of files that look like a bare one. The
    // `fd` transport would talk to git's own pipes and hang; `ext` runs a
    // command that the address names.
    запуск.аргументы = {"git",
                        "-c",
                        "safe.bareRepository=explicit",
                        "-c",
                        "protocol.fd.allow=never",
                        "-c",
                        "protocol.ext.allow=never"};
    // A repository keeps hooks and may name a monitor program; neither may
    // run.
    if (!git.репозиторий.empty())
        запуск.аргументы.insert(запуск.аргументы.end(),
                                {"-c", "core.hooksPath=/dev/null", "-c", "core.fsmonitor=false",
                                 "-C", git.репозиторий.string()});
    запуск.аргументы.insert(запуск.аргументы.end(), git.аргументы.begin(), git.аргументы.end());
    запуск.папка = папка->путь;
    запуск.окружение = окружение_git(границы, папка->путь, предел);
    запуск.новый_сеанс = true;
    запуск.предел = предел_вывода;
    запуск.вывод_частями = git.вывод_частями;
    запуск.предел_тишины = предел;

    auto итог = запустить_процесс(запуск);
    // An address longer than the system passes to a program fails like an
    // address that git refuses, not like a missing git.
    if (!итог && итог.error() == E2BIG) {
        ИтогПроцесса отказ;
        отказ.ошибки = текст_ошибки_ос(E2BIG);
        return отказ;
    }
    if (!итог)
        return tl::unexpected(ОтказGit{true, текст_ошибки_ос(итог.error())});
    // A git that this program ended on an interruption failed for that.
    if (auto прерывание = проверить_прерывание(); !прерывание)
        return готовое(прерывание.error());
    if (итог->затих)
        return готовое(fmt::format(тексты::нет_ответа_git, цитата(git.адрес), предел.count()));
    return std::move(*итог);
}

namespace {

// Git reads an address as a path when it has no colon, or a slash before its
// first colon; otherwise it is a URL, host:path or помощник::адрес.
bool путь(std::string_view адрес) {
    const auto двоеточие = адрес.find(':');
    return двоеточие == std::string_view::npos || адрес.find('/') < двоеточие;
}

}  // namespace

bool локальный_адрес(std::string_view адрес) {
    const auto помощник = адрес.find("::");
    if (помощник != std::string_view::npos && помощник > 0 &&
        std::all_of(адрес.begin(), адрес.begin() + static_cast<std::ptrdiff_t>(помощник),
                    [](char знак) { return std::isalnum(static_cast<unsigned char>(знак)); }))
        return локальный_адрес(адрес.substr(помощник + 2));
    constexpr std::string_view файл = "file://";
    const bool url_файла = адрес.size() >= файл.size() &&
                           std::equal(файл.begin(), файл.end(), адрес.begin(), [](char а, char б) {
                               return а == std::tolower(static_cast<unsigned char>(б));
                           });
    return url_файла || путь(адрес);
}

Итог проверить_адрес(std::string_view адрес) {
    if (есть_управляющий_символ(адрес))
        return неудача(fmt::format(тексты::недопустимый_адрес, цитата(адрес)));
    return {};
}

std::string адрес_для_git(const std::string& адрес) {
    if (адрес.empty() || !путь(адрес) || адрес.front() == '/')
        return адрес;
    std::error_code ошибка;
    const fs::path здесь = fs::current_path(ошибка);
    if (ошибка)
        return адрес;
    return (здесь / адрес).string();
}

}  // namespace vokra::пакеты
