#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include "panel/core/state.hpp"

namespace vokra::panel {

// The open dialog over a dimmed window, sliding up while it appears.
void нарисовать_диалог(SDL_Renderer* рендерер, TTF_Font* шрифт,
                       const СостояниеПриложения& состояние, const АнимацииЭлементов& анимации);

}  // namespace vokra::panel
