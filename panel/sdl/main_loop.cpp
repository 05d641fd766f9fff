#include "panel/sdl/main_loop.hpp"

namespace vokra::panel {

int главная() {
    return 0;
}

}  // namespace vokra::panel
