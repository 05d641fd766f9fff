#include "panel/sdl/main_loop.hpp"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fmt/format.h>
#include <signal.h>

#include <csignal>
#include <cstdio>
#include <string_view>

#include "panel/core/frame.hpp"
#include "panel/core/messages.hpp"
#include "panel/core/paths.hpp"
#include "panel/core/state.hpp"
#include "panel/core/tasks.hpp"
#include "panel/sdl/events.hpp"
#include "panel/sdl/graphics.hpp"
#include "panel/sdl/screens.hpp"

namespace vokra::panel {
namespace {

constexpr int РАЗМЕР_ШРИФТА = 17;
constexpr Uint32 ЗАДЕРЖКА_КАДРА_МС = 16;

// SDL falls back to drivers that draw into memory when there is no display;
// the panel would then run unseen forever. They count only when asked for.
bool драйвер_без_экрана() {
    const char* драйвер = SDL_GetCurrentVideoDriver();
    if (драйвер == nullptr) {
        return false;
    }
    const std::string_view имя = драйвер;
    if (имя != "offscreen" && имя != "dummy") {
        return false;
    }
    const char* заказан = SDL_getenv("SDL_VIDEODRIVER");
    return заказан == nullptr || std::string_view(заказан).find(имя) == std::string_view::npos;
}

// A hang-up (the terminal the panel was started from closed, the session
// ending) ends the panel as closing its window does, so that its task ends
// with it: the task's process group is not the panel's, and the hang-up does
// not reach it. SDL already does so for INT and TERM. A panel started to
// outlive hang-ups (nohup) keeps ignoring them.
volatile std::sig_atomic_t пришёл_обрыв = 0;

void при_обрыве(int) {
    пришёл_обрыв = 1;
}

void ждать_обрыва() {
    struct sigaction прежнее {};
    if (::sigaction(SIGHUP, nullptr, &прежнее) == 0 && прежнее.sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction обработчик {};
    обработчик.sa_handler = при_обрыве;
    sigemptyset(&обработчик.sa_mask);
    ::sigaction(SIGHUP, &обработчик, nullptr);
}

}  // namespace

int главная() {
    SDL_Init(SDL_INIT_VIDEO);
    TTF_Init();
    if (драйвер_без_экрана()) {
        fmt::print(stderr, "{}\n", fmt::format(сообщения::НЕТ_ЭКРАНА, SDL_GetCurrentVideoDriver()));
        return 1;
    }

    SDL_Window* окно =
        SDL_CreateWindow(std::string(сообщения::ЗАГОЛОВОК_ОКНА).c_str(), SDL_WINDOWPOS_CENTERED,
                         SDL_WINDOWPOS_CENTERED, ШИРИНА_ОКНА, ВЫСОТА_ОКНА, 0);
    if (окно == nullptr) {
        // Without a window the loop would only spin; say why and stop.
        fmt::print(stderr, "{}\n", SDL_GetError());
        return 1;
    }
    SDL_Renderer* рендерер = SDL_CreateRenderer(окно, -1, 0);
    if (рендерер == nullptr) {
        fmt::print(stderr, "{}\n", SDL_GetError());
        return 1;
    }
    SDL_SetRenderDrawBlendMode(рендерер, SDL_BLENDMODE_BLEND);
    TTF_Font* шрифт = TTF_OpenFont(выбрать_путь_шрифта().c_str(), РАЗМЕР_ШРИФТА);

    СостояниеПриложения состояние;
    состояние.папка_установки = папка_установки_по_умолчанию();
    состояние.установлена = вокра_уже_установлена(состояние.папка_установки);
    АнимацииЭлементов анимации{};
    const ТаблицаПакетов таблица = новая_таблица_пакетов();
    СписокПакетов пакеты;

    ждать_обрыва();
    while (состояние.работает) {
        SDL_Event событие;
        while (SDL_PollEvent(&событие)) {
            обработать_событие(состояние, событие);
        }
        if (пришёл_обрыв != 0) {
            состояние.работает = false;
        }
        продвинуть_кадр(состояние, анимации, пакеты);
        нарисовать_кадр(рендерер, шрифт, состояние, анимации, таблица, пакеты);
        SDL_RenderPresent(рендерер);
        SDL_Delay(ЗАДЕРЖКА_КАДРА_МС);
    }
    закончить_задачи();
    return 0;
}

}  // namespace vokra::panel
