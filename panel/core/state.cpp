#include "panel/core/state.hpp"

namespace vokra::panel {

int глобальный_argc = 0;
char** глобальный_argv = nullptr;
std::string глобальная_папка_программы;

std::int64_t приблизить(std::int64_t текущее, std::int64_t цель) {
    if (текущее == цель) {
        return цель;
    }
    const std::int64_t разница = цель - текущее;
    std::int64_t шаг = разница / 4;
    if (шаг == 0) {
        шаг = разница > 0 ? 1 : -1;
    }
    return текущее + шаг;
}

std::int64_t зажать(std::int64_t значение) {
    if (значение < 0) {
        return 0;
    }
    if (значение > 255) {
        return 255;
    }
    return значение;
}

}  // namespace vokra::panel
