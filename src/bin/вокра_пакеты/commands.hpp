// The entry of вокра_пакеты: picks the command from the first argument,
// checks its required argument, runs it and turns its result into the exit
// status.
#pragma once

#include <string>
#include <vector>

namespace vokra::пакеты {

// `аргументы` are the process arguments, position 0 being the program's path.
// Returns the exit status.
int выполнить_команду(const std::vector<std::string>& аргументы);

void вывести_подсказку();

}  // namespace vokra::пакеты
