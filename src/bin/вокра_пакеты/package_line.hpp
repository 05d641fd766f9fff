// One package line, shared by the project manifest, the index catalogue and
// the lock file:
//   имя = git URL [ветка=ВЕТКА | версия=ВЕРСИЯ] [описание="текст"]
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

struct Зависимость {
    std::string имя;
    std::string url;
    std::optional<std::string> ветка;
    std::optional<std::string> версия;
    std::optional<std::string> описание;

    bool operator==(const Зависимость&) const = default;
};

// Every dependency line of a whole file text, in order; blank lines and lines
// starting with '#' are skipped. The first malformed line ends the parse with
// a message that names its 1-based line number. Reads no file.
ИтогС<std::vector<Зависимость>> разобрать_манифест(std::string_view текст);

}  // namespace vokra::пакеты
