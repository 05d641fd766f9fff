#include "panel/sdl/main_loop.hpp"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fmt/format.h>

#include <cstdio>
#include <string_view>

#include "panel/core/frame.hpp"
#include "panel/core/messages.hpp"
#include "panel/core/paths.hpp"
#include "panel/core/state.hpp"
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

    while (состояние.работает) {
        SDL_Event событие;
        while (SDL_PollEvent(&событие)) {
            обработать_событие(состояние, событие);
        }
        продвинуть_кадр(состояние, анимации, пакеты);
        нарисовать_кадр(рендерер, шрифт, состояние, анимации, таблица, пакеты);
        SDL_RenderPresent(рендерер);
        SDL_Delay(ЗАДЕРЖКА_КАДРА_МС);
    }
    return 0;
}

}  // namespace vokra::panel
