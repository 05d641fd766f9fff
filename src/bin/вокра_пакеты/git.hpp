// Every git command runs apart from the project and from the terminal: in a
// private temporary folder of its own, where git finds no repository to take
// settings from, and without a terminal or a password program to ask the
// person through. The person's own global git settings still apply.
#pragma once

#include <fmt/core.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/process.hpp"
#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// One run of git.
struct ЗапускGit {
    std::vector<std::string> аргументы;
    // The repository's address as the person or a file wrote it, for
    // messages.
    std::string адрес;
    // When set (an absolute path), git works in that repository and finds
    // nothing above it; its hooks and its file-system monitor stay off.
    fs::path репозиторий = {};
    // Standard output goes here when set; otherwise, like standard error,
    // only its last few KB are kept.
    std::function<void(std::string_view)> вывод_частями = {};
};

// Why a run of git gave no result of git's own.
struct ОтказGit {
    // The system could not start git, and `текст` is its error text; else
    // `текст` is a finished message (no temporary folder for git, no word
    // from the repository's server, an interruption).
    bool не_запустился = false;
    std::string текст;

    // The message, with the caller's own text for a git that could not be
    // started.
    std::string сообщение(fmt::format_string<const std::string&> не_запущен) const;
};

// Runs git. An argument too long for the system gives a failed run with that
// error as git's standard error. A run in which nothing at all happens for
// `предел_тишины_git` (two minutes, or VOKRA_PAKETY_GIT_TIMEOUT seconds) is
// ended and fails with a message naming the address.
tl::expected<ИтогПроцесса, ОтказGit> выполнить_git(const ЗапускGit& запуск);

// Whether git reaches the repository of the address on this machine: a path,
// a file:// URL, or a helper's address ("помощник::адрес") whose own address
// is one of these.
bool локальный_адрес(std::string_view адрес);

// An address with a control character in it would not reach git as written
// (a NUL byte even ends it early) and is refused.
Итог проверить_адрес(std::string_view адрес);

// An address as git, running in its own folder, must see it: a relative
// local path (by git's own reading of addresses) still names the place
// beside the project's manifest, so it is made absolute against the current
// folder. Any other address is left as it is.
std::string адрес_для_git(const std::string& адрес);

}  // namespace vokra::пакеты
