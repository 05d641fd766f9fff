// Runs a program found through PATH without a shell: standard input is
// /dev/null, and standard output and standard error are both captured.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

struct ИтогПроцесса {
    int код_выхода = -1;  // -1 when the process died by a signal
    std::string вывод;
    std::string ошибки;
    // The process showed no sign of life for `предел_тишины` and was ended.
    bool затих = false;

    bool успешен() const { return код_выхода == 0; }
};

struct ЗапускПроцесса {
    std::vector<std::string> аргументы;  // the first one names the program
    std::filesystem::path папка;         // where it runs; empty: the current folder
    // "ИМЯ=значение" entries; none: this program's own environment.
    std::optional<std::vector<std::string>> окружение;
    // In a session of its own, the process has no controlling terminal to
    // read from, and a Ctrl-C at the terminal reaches this program only.
    bool новый_сеанс = false;
    // Of each stream only its last bytes, up to this many, are kept.
    std::size_t предел = std::numeric_limits<std::size_t>::max();
    // When set, standard output is handed over piece by piece as it comes
    // and not kept.
    std::function<void(std::string_view)> вывод_частями;
    // When set, a process that for this long writes nothing to its output,
    // and whose processes (its whole group, with a session of its own) read
    // and write nothing at all, is killed with its group. A transfer that
    // still moves, however slowly, reads something.
    std::optional<std::chrono::milliseconds> предел_тишины;
};

// Waits for the end of the process, or, with `предел_тишины`, until it has
// been silent that long. When this program is interrupted meanwhile, the
// process (with its whole group when it has a session of its own) is asked to
// end with SIGTERM, and is waited for. Output that a process left running
// in the background keeps open is not waited for past the silence limit.
// Fails with the error number when the process cannot be started.
tl::expected<ИтогПроцесса, int> запустить_процесс(const ЗапускПроцесса& запуск);

// The same with the current folder and the environment inherited and nothing
// bounded. Fails with the system's error text.
ИтогС<ИтогПроцесса> выполнить_процесс(const std::vector<std::string>& аргументы);

}  // namespace vokra::пакеты
