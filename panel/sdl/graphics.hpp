#pragma once

// The thin drawing layer over SDL2 and SDL2_ttf. Everything draws at once into
// the renderer's current target; nothing is cached between frames. Fill
// colours are set on the renderer beforehand; text colours are one 32-bit value
// with red in the lowest byte, then green, blue and alpha in the highest.

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vokra::panel {

struct РазмерОкна {
    std::int32_t w = 0;
    std::int32_t h = 0;
};

// Text colour from its channels, in the byte order described above.
constexpr std::uint32_t цвет_текста(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                    std::uint8_t a = 255) {
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b) << 16 | static_cast<std::uint32_t>(a) << 24;
}

inline constexpr std::uint32_t БЕЛЫЙ = цвет_текста(255, 255, 255);

int графика__нарисовать_прямоугольник(SDL_Renderer* рендерер, std::int32_t x, std::int32_t y,
                                      std::int32_t w, std::int32_t h);
int графика__обвести_прямоугольник(SDL_Renderer* рендерер, std::int32_t x, std::int32_t y,
                                   std::int32_t w, std::int32_t h);
// Corners are quarter discs of `радиус`, rasterised row by row.
int графика__нарисовать_скруглённый_прямоугольник(SDL_Renderer* рендерер, std::int32_t x,
                                                  std::int32_t y, std::int32_t w, std::int32_t h,
                                                  std::int32_t радиус);
// Text with its top-left corner at (x, y), at its natural size.
int графика__нарисовать_текст(SDL_Renderer* рендерер, TTF_Font* шрифт, const std::string& текст,
                              std::int32_t x, std::int32_t y, std::uint32_t цвет);
SDL_Surface* графика__загрузить_картинку(const std::string& путь);
void графика__нарисовать_картинку(SDL_Renderer* рендерер, const std::string& путь, std::int32_t x,
                                  std::int32_t y, std::int32_t w, std::int32_t h);
void графика__нарисовать_картинку_текстурой(SDL_Renderer* рендерер, SDL_Texture* текстура,
                                            std::int32_t x, std::int32_t y, std::int32_t w,
                                            std::int32_t h);
РазмерОкна графика__размер_окна(SDL_Window* окно);
// Passed where SDL takes no rectangle or no output.
constexpr std::nullptr_t графика__нулевой_указатель() {
    return nullptr;
}
// The text without its last UTF-8 character.
std::string графика__удалить_последний_символ(std::string_view текст);

// The first readable font file of the known system locations.
std::string выбрать_путь_шрифта();

// Up to 20 lines of white text, 22 pixels apart.
void нарисовать_многострочный_текст(SDL_Renderer* рендерер, TTF_Font* шрифт, std::string_view текст,
                                    std::int32_t x, std::int32_t y);

// Renders `текст` into a texture; null for an empty text or a missing font.
// The caller destroys the texture.
SDL_Texture* текстура_текста(SDL_Renderer* рендерер, TTF_Font* шрифт, const std::string& текст,
                             std::uint32_t цвет);

}  // namespace vokra::panel
