// The per-user package index: its address, its local clone and the commands
// that search it and copy its entries into the project's manifest.
#pragma once

#include <string>

#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

Итог настроить_индекс(const std::string& адрес);
Итог обновить_индекс();
Итог искать_в_индексе(const std::string& запрос);
Итог добавить_из_индекса(const std::string& имя);

}  // namespace vokra::пакеты
