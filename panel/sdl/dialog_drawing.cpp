#include "panel/sdl/dialog_drawing.hpp"

#include "panel/core/hit_testing.hpp"
#include "panel/sdl/graphics.hpp"
#include "panel/sdl/widgets.hpp"

namespace vokra::panel {

void нарисовать_диалог(SDL_Renderer* рендерер, TTF_Font* шрифт, const СостояниеПриложения& с,
                       const АнимацииЭлементов& анимации) {
    const std::int64_t появление = с.появление_диалога;
    const std::int32_t bx = 130;
    const std::int32_t by = ц32(250 + (100 - появление) * 24 / 100);

    SDL_SetRenderDrawColor(рендерер, 0, 0, 0, static_cast<Uint8>(появление * 150 / 100));
    графика__нарисовать_прямоугольник(рендерер, 0, 0, 720, 760);
    SDL_SetRenderDrawColor(рендерер, 0, 0, 0, 90);
    графика__нарисовать_скруглённый_прямоугольник(рендерер, bx - 3, by + 2, 466, 246, 14);
    SDL_SetRenderDrawColor(рендерер, 90, 100, 125, 255);
    графика__нарисовать_скруглённый_прямоугольник(рендерер, bx - 1, by - 1, 462, 242, 12);
    SDL_SetRenderDrawColor(рендерер, 36, 39, 48, 255);
    графика__нарисовать_скруглённый_прямоугольник(рендерер, bx, by, 460, 240, 12);

    switch (с.вариант_диалога) {
        case 1:
            SDL_SetRenderDrawColor(рендерер, 230, 90, 80, 255);
            break;
        case 2:
            SDL_SetRenderDrawColor(рендерер, 80, 200, 110, 255);
            break;
        default:
            SDL_SetRenderDrawColor(рендерер, 90, 160, 255, 255);
            break;
    }
    графика__нарисовать_прямоугольник(рендерер, bx + 24, by + 52, 60, 3);

    графика__нарисовать_текст(рендерер, шрифт, с.заголовок_диалога, bx + 24, by + 18, БЕЛЫЙ);
    нарисовать_многострочный_текст(рендерер, шрифт, с.текст_диалога, bx + 24, by + 66);

    for (std::int64_t слот = 1; слот <= 3; ++слот) {
        const std::string_view подпись = подпись_слота(с.вид_диалога, слот);
        if (подпись.empty()) {
            continue;
        }
        const std::int64_t id = элементы::СЛОТ_1 + слот - 1;
        const Прямоугольник место = прямоугольник_элемента(id);
        const ЦветКнопки цвет = цвет_слота(с.вид_диалога, слот);
        нарисовать_кнопку(рендерер, шрифт, место.x, by + 178, место.w, место.h, цвет.r, цвет.g,
                          цвет.b, std::string(подпись), анимации[static_cast<std::size_t>(id)],
                          true);
    }
}

}  // namespace vokra::panel
