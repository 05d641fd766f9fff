#include "panel/core/paths.hpp"
#include "panel/core/state.hpp"
#include "panel/sdl/main_loop.hpp"

int main(int argc, char** argv) {
    vokra::panel::глобальный_argc = argc;
    vokra::panel::глобальный_argv = argv;
    vokra::panel::глобальная_папка_программы = vokra::panel::папка_запущенной_программы();
    return vokra::panel::главная();
}
