#pragma once

#include <SDL.h>

#include "panel/core/state.hpp"

namespace vokra::panel {

// Applies one input event to the state: quit, dialog keys, pointer moves,
// presses and releases (which may click an element).
void обработать_событие(СостояниеПриложения& состояние, const SDL_Event& событие);

}  // namespace vokra::panel
