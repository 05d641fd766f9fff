// Every git command runs apart from the project and from the terminal: in a
// private temporary folder of its own, where git finds no repository to take
// settings from, and without a terminal or a password program to ask the
// person through. The person's own global git settings still apply.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/process.hpp"
#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// Runs git with the arguments. With `репозиторий`, git works in that
// repository (its absolute path) and finds nothing above it. Standard output
// goes to `вывод_частями` when it is set; otherwise, like standard error,
// only its last few KB are kept. Fails with the system's error text when git
// cannot be started; an argument too long for the system gives a failed run
// with that error as git's standard error. An interruption is a failure.
ИтогС<ИтогПроцесса> выполнить_git(const std::vector<std::string>& аргументы,
                                  const fs::path& репозиторий = {},
                                  std::function<void(std::string_view)> вывод_частями = {});

// An address as git, running in its own folder, must see it: a relative
// local path (by git's own reading of addresses) still names the place
// beside the project's manifest, so it is made absolute against the current
// folder. Any other address is left as it is.
std::string адрес_для_git(const std::string& адрес);

}  // namespace vokra::пакеты
