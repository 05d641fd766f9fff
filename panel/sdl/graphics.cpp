#include "panel/sdl/graphics.hpp"

#include <array>
#include <cmath>
#include <fstream>

#include "panel/core/text.hpp"

namespace vokra::panel {

int графика__нарисовать_прямоугольник(SDL_Renderer* рендерер, std::int32_t x, std::int32_t y,
                                      std::int32_t w, std::int32_t h) {
    // SDL fills an empty rectangle as a one-pixel line; an empty one (the
    // edges of a rounded rectangle of radius 0) must draw nothing.
    if (w <= 0 || h <= 0) {
        return 0;
    }
    const SDL_Rect прямоугольник{x, y, w, h};
    return SDL_RenderFillRect(рендерер, &прямоугольник);
}

int графика__обвести_прямоугольник(SDL_Renderer* рендерер, std::int32_t x, std::int32_t y,
                                   std::int32_t w, std::int32_t h) {
    const SDL_Rect прямоугольник{x, y, w, h};
    return SDL_RenderDrawRect(рендерер, &прямоугольник);
}

int графика__нарисовать_скруглённый_прямоугольник(SDL_Renderer* рендерер, std::int32_t x,
                                                  std::int32_t y, std::int32_t w, std::int32_t h,
                                                  std::int32_t r) {
    графика__нарисовать_прямоугольник(рендерер, x + r, y, w - 2 * r, h);
    графика__нарисовать_прямоугольник(рендерер, x, y + r, r, h - 2 * r);
    графика__нарисовать_прямоугольник(рендерер, x + w - r, y + r, r, h - 2 * r);
    for (std::int32_t i = 0; i < r; ++i) {
        const double d = r - i - 1;
        double v = static_cast<double>(r) * r - d * d;
        if (v < 0) {
            v = 0;
        }
        const auto s = static_cast<std::int32_t>(std::sqrt(v));
        графика__нарисовать_прямоугольник(рендерер, x + r - s, y + i, s, 1);
        графика__нарисовать_прямоугольник(рендерер, x + w - r, y + i, s, 1);
        графика__нарисовать_прямоугольник(рендерер, x + r - s, y + h - i - 1, s, 1);
        графика__нарисовать_прямоугольник(рендерер, x + w - r, y + h - i - 1, s, 1);
    }
    return 0;
}

SDL_Texture* текстура_текста(SDL_Renderer* рендерер, TTF_Font* шрифт, const std::string& текст,
                             std::uint32_t цвет) {
    if (шрифт == nullptr || текст.empty()) {
        return nullptr;
    }
    const SDL_Color цвет_sdl{static_cast<Uint8>(цвет & 0xFF), static_cast<Uint8>(цвет >> 8 & 0xFF),
                             static_cast<Uint8>(цвет >> 16 & 0xFF),
                             static_cast<Uint8>(цвет >> 24 & 0xFF)};
    SDL_Surface* поверхность = TTF_RenderUTF8_Blended(шрифт, текст.c_str(), цвет_sdl);
    if (поверхность == nullptr) {
        return nullptr;
    }
    SDL_Texture* текстура = SDL_CreateTextureFromSurface(рендерер, поверхность);
    SDL_FreeSurface(поверхность);
    return текстура;
}

int графика__нарисовать_текст(SDL_Renderer* рендерер, TTF_Font* шрифт, const std::string& текст,
                              std::int32_t x, std::int32_t y, std::uint32_t цвет) {
    SDL_Texture* текстура = текстура_текста(рендерер, шрифт, текст, цвет);
    if (текстура == nullptr) {
        return -1;
    }
    int w = 0;
    int h = 0;
    SDL_QueryTexture(текстура, nullptr, nullptr, &w, &h);
    const SDL_Rect куда{x, y, w, h};
    const int результат = SDL_RenderCopy(рендерер, текстура, графика__нулевой_указатель(), &куда);
    SDL_DestroyTexture(текстура);
    return результат;
}

SDL_Surface* графика__загрузить_картинку(const std::string& путь) {
    return SDL_LoadBMP_RW(SDL_RWFromFile(путь.c_str(), "rb"), 1);
}

void графика__нарисовать_картинку(SDL_Renderer* рендерер, const std::string& путь, std::int32_t x,
                                  std::int32_t y, std::int32_t w, std::int32_t h) {
    SDL_Surface* поверхность = графика__загрузить_картинку(путь);
    if (поверхность == nullptr) {
        return;
    }
    SDL_Texture* текстура = SDL_CreateTextureFromSurface(рендерер, поверхность);
    if (текстура != nullptr) {
        графика__нарисовать_картинку_текстурой(рендерер, текстура, x, y, w, h);
        SDL_DestroyTexture(текстура);
    }
    SDL_FreeSurface(поверхность);
}

void графика__нарисовать_картинку_текстурой(SDL_Renderer* рендерер, SDL_Texture* текстура,
                                            std::int32_t x, std::int32_t y, std::int32_t w,
                                            std::int32_t h) {
    const SDL_Rect куда{x, y, w, h};
    SDL_RenderCopy(рендерер, текстура, графика__нулевой_указатель(), &куда);
}

РазмерОкна графика__размер_окна(SDL_Window* окно) {
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(окно, &w, &h);
    return {w, h};
}

std::string графика__удалить_последний_символ(std::string_view текст) {
    if (текст.empty()) {
        return {};
    }
    std::size_t начало = текст.size() - 1;
    while (начало > 0 && (static_cast<unsigned char>(текст[начало]) & 0xC0) == 0x80) {
        --начало;
    }
    return std::string(текст.substr(0, начало));
}

std::string выбрать_путь_шрифта() {
    static constexpr std::array<const char*, 3> кандидаты{
        "/System/Library/Fonts/Supplemental/Arial Unicode.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
        "/usr/share/fonts/TTF/DejaVuSans.ttf",
    };
    for (const char* путь : кандидаты) {
        if (std::ifstream(путь).is_open()) {
            return путь;
        }
    }
    return "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
}

void нарисовать_многострочный_текст(SDL_Renderer* рендерер, TTF_Font* шрифт, std::string_view текст,
                                    std::int32_t x, std::int32_t y) {
    constexpr std::int32_t высота_строки = 22;
    for (std::size_t строк = 0; строк < СТРОК_МНОГОСТРОЧНОГО_ТЕКСТА; ++строк) {
        const std::size_t перевод = текст.find('\n');
        if (перевод == std::string_view::npos) {
            if (!текст.empty()) {
                графика__нарисовать_текст(рендерер, шрифт, std::string(текст), x, y, БЕЛЫЙ);
            }
            return;
        }
        if (перевод > 0) {
            графика__нарисовать_текст(рендерер, шрифт, std::string(текст.substr(0, перевод)), x, y,
                                      БЕЛЫЙ);
        }
        текст.remove_prefix(перевод + 1);
        y += высота_строки;
    }
}

}  // namespace vokra::panel
