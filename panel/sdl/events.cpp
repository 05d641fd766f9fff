#include "panel/sdl/events.hpp"

#include "panel/core/frame.hpp"

namespace vokra::panel {

void обработать_событие(СостояниеПриложения& с, const SDL_Event& событие) {
    switch (событие.type) {
        case SDL_QUIT:
            с.работает = false;
            break;
        case SDL_KEYDOWN:
            if (событие.key.keysym.sym == SDLK_ESCAPE) {
                нажать_клавишу_диалога(с, true);
            } else if (событие.key.keysym.sym == SDLK_RETURN) {
                нажать_клавишу_диалога(с, false);
            }
            break;
        case SDL_MOUSEMOTION:
            с.мышь_x = событие.motion.x;
            с.мышь_y = событие.motion.y;
            break;
        case SDL_MOUSEBUTTONDOWN:
            нажать_кнопку_мыши(с, событие.button.x, событие.button.y);
            break;
        case SDL_MOUSEBUTTONUP:
            отпустить_кнопку_мыши(с, событие.button.x, событие.button.y);
            break;
        default:
            break;
    }
}

}  // namespace vokra::panel
