#include "panel/core/state.hpp"
#include "panel/sdl/main_loop.hpp"

int main(int argc, char** argv) {
    vokra::panel::глобальный_argc = argc;
    vokra::panel::глобальный_argv = argv;
    return vokra::panel::главная();
}
