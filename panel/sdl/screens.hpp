#pragma once

// Drawing of one whole frame from the state: sidebar, the active tab's
// content, the status line and the open dialog.

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <vector>

#include "panel/core/frame.hpp"
#include "panel/core/packages.hpp"
#include "panel/core/state.hpp"
#include "panel/sdl/widgets.hpp"

namespace vokra::panel {

// The package table with its header texts.
struct ТаблицаПакетов {
    Таблица таблица{170, ВЕРХ_ТАБЛИЦЫ_ПАКЕТОВ, {150, 160, 240}, ВЫСОТА_СТРОКИ_ТАБЛИЦЫ};
    std::vector<std::string> заголовки;
};

ТаблицаПакетов новая_таблица_пакетов();

void нарисовать_кадр(SDL_Renderer* рендерер, TTF_Font* шрифт, const СостояниеПриложения& состояние,
                     const АнимацииЭлементов& анимации, const ТаблицаПакетов& таблица,
                     const СписокПакетов& пакеты);

}  // namespace vokra::panel
