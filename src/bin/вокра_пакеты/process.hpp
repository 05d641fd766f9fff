// Runs a program found through PATH without a shell: the environment and the
// current folder are inherited, standard input is /dev/null, and standard
// output and standard error are both captured.
#pragma once

#include <string>
#include <vector>

#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

struct ИтогПроцесса {
    int код_выхода = -1;  // -1 when the process died by a signal
    std::string вывод;
    std::string ошибки;

    bool успешен() const { return код_выхода == 0; }
};

// The first argument names the program. Fails with the system's error text
// when the program cannot be started.
ИтогС<ИтогПроцесса> выполнить_процесс(const std::vector<std::string>& аргументы);

}  // namespace vokra::пакеты
