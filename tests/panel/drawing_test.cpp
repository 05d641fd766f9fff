#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "panel/sdl/dialog_drawing.hpp"
#include "panel/sdl/graphics.hpp"
#include "panel/sdl/widgets.hpp"

namespace vokra::panel {
namespace {

using Цвет = std::array<int, 3>;
constexpr Цвет ЧЁРНЫЙ{0, 0, 0};

// A window-sized surface with a software renderer over it, cleared to black.
class Холст : public ::testing::Test {
  protected:
    void SetUp() override {
        поверхность = SDL_CreateRGBSurfaceWithFormat(0, 720, 760, 32, SDL_PIXELFORMAT_RGBA8888);
        ASSERT_NE(поверхность, nullptr) << SDL_GetError();
        рендерер = SDL_CreateSoftwareRenderer(поверхность);
        ASSERT_NE(рендерер, nullptr) << SDL_GetError();
        SDL_SetRenderDrawBlendMode(рендерер, SDL_BLENDMODE_BLEND);
        очистить(0);
    }
    void очистить(Uint8 серый) {
        SDL_SetRenderDrawColor(рендерер, серый, серый, серый, 255);
        SDL_RenderClear(рендерер);
    }
    void TearDown() override {
        SDL_DestroyRenderer(рендерер);
        SDL_FreeSurface(поверхность);
    }

    Цвет пиксель(int x, int y) {
        SDL_RenderFlush(рендерер);
        const auto* строка =
            static_cast<const Uint8*>(поверхность->pixels) + y * поверхность->pitch;
        Uint8 r, g, b, a;
        SDL_GetRGBA(reinterpret_cast<const Uint32*>(строка)[x], поверхность->format, &r, &g, &b,
                    &a);
        return {r, g, b};
    }

    // Number of non-black pixels of row y between x and x + w.
    int закрашено_в_строке(int x, int y, int w) {
        int всего = 0;
        for (int i = x; i < x + w; ++i) {
            всего += пиксель(i, y) != ЧЁРНЫЙ;
        }
        return всего;
    }

    SDL_Surface* поверхность = nullptr;
    SDL_Renderer* рендерер = nullptr;
};

TEST_F(Холст, RoundedCornersAreQuarterDiscsRowByRow) {
    SDL_SetRenderDrawColor(рендерер, 255, 255, 255, 255);
    графика__нарисовать_скруглённый_прямоугольник(рендерер, 100, 100, 80, 40, 10);
    const std::vector<int> ширины{4, 6, 7, 8, 8, 9, 9, 9, 9, 10};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        for (const auto& [x, y] :
             {std::pair{100, 100 + i}, {170, 100 + i}, {100, 139 - i}, {170, 139 - i}}) {
            EXPECT_EQ(закрашено_в_строке(x, y, 10), ширины[i]);
        }
    }
    // Radius 0 is a plain rectangle: the empty corner strips draw nothing.
    графика__нарисовать_скруглённый_прямоугольник(рендерер, 300, 300, 20, 10, 0);
    EXPECT_EQ(закрашено_в_строке(290, 300, 40), 20);
    EXPECT_EQ(закрашено_в_строке(290, 310, 40), 0);
}

TEST_F(Холст, ButtonFollowsHoverPressAndEnabledState) {
    struct Случай {
        АнимацияЭлемента анимация;
        bool включена;
        std::uint8_t r;
        int край;  // left/top edge of the drawn button for a rectangle at 200
        Цвет цвет;
    };
    const std::vector<Случай> случаи{
        {{100, 100}, true, 100, 201, {95, 95, 95}},   // 1 px smaller, +40 −45
        {{100, 0}, true, 230, 197, {255, 140, 140}},  // grows 3 px, lifted and clamped
        {{0, 0}, true, 100, 200, {100, 100, 100}},    // resting
        {{100, 100}, false, 100, 200, {66, 69, 78}},  // disabled: grey and flat
    };
    for (const Случай& с : случаи) {
        SCOPED_TRACE(с.край);
        очистить(0);
        нарисовать_кнопку(рендерер, nullptr, 200, 200, 120, 50, с.r, 100, 100, "", с.анимация,
                          с.включена);
        EXPECT_EQ(пиксель(260, с.край), с.цвет);
        EXPECT_EQ(пиксель(с.край, 225), с.цвет);
        EXPECT_EQ(пиксель(260, с.край - 1), ЧЁРНЫЙ);
        EXPECT_EQ(пиксель(с.край - 1, 225), ЧЁРНЫЙ);
    }
}

TEST_F(Холст, ProgressStripSweepsToTheWindowEdge) {
    constexpr Цвет дорожка{40, 46, 60};
    constexpr Цвет яркий{120, 180, 255};
    нарисовать_полоску_загрузки(рендерер, 20);  // track 150..720 in rows 0..2, segment 150..290
    EXPECT_EQ(пиксель(149, 1), ЧЁРНЫЙ);
    EXPECT_EQ(пиксель(150, 3), ЧЁРНЫЙ);
    EXPECT_EQ(пиксель(289, 0), яркий);
    EXPECT_EQ(пиксель(290, 2), дорожка);
    нарисовать_полоску_загрузки(рендерер, 100);  // clipped at the window's edge: 710..720
    EXPECT_EQ(пиксель(709, 0), дорожка);
    EXPECT_EQ(пиксель(710, 0), яркий);
}

TEST_F(Холст, TableRowsAndHeaderCarryColumnSeparators) {
    const Таблица таблица{170, 130, {150, 160, 240}, 30};
    Таблица__нарисовать_заголовок(таблица, рендерер, nullptr, {"", "", ""});
    Таблица__нарисовать_строку(таблица, рендерер, nullptr, 1, {"", "", ""}, true);
    Таблица__нарисовать_строку(таблица, рендерер, nullptr, 2, {"", "", ""}, false);
    constexpr Цвет линия{200, 200, 200};
    EXPECT_EQ(пиксель(200, 140), (Цвет{60, 70, 90}));
    EXPECT_EQ(пиксель(200, 170), (Цвет{245, 245, 245}));
    EXPECT_EQ(пиксель(200, 200), (Цвет{255, 255, 255}));
    for (int y : {140, 170, 200}) {
        EXPECT_EQ(пиксель(320, y), линия);
        EXPECT_NE(пиксель(719, y), линия);  // no separator after the last column
    }
    EXPECT_EQ(пиксель(250, 190), линия);  // line above each data row
}

TEST_F(Холст, TextLinesAreDrawn22PixelsApart) {
    ASSERT_EQ(TTF_Init(), 0);
    TTF_Font* шрифт = TTF_OpenFont(выбрать_путь_шрифта().c_str(), 17);
    if (шрифт == nullptr) {
        GTEST_SKIP() << "no font: " << TTF_GetError();
    }
    auto строка_занята = [&](int верх) {
        for (int y = верх; y < верх + 22; ++y) {
            if (закрашено_в_строке(100, y, 40) > 0) {
                return true;
            }
        }
        return false;
    };
    // An empty line keeps its place; at most 20 lines are drawn.
    std::string строки = "Ж\n\n";
    for (int i = 0; i < 19; ++i) {
        строки += "Ж\n";
    }
    нарисовать_многострочный_текст(рендерер, шрифт, строки, 100, 0);
    EXPECT_FALSE(строка_занята(22));
    EXPECT_TRUE(строка_занята(19 * 22));
    EXPECT_FALSE(строка_занята(20 * 22));
    TTF_CloseFont(шрифт);
}

TEST_F(Холст, DialogSlidesInOverDimmedWindowWithItsSlots) {
    СостояниеПриложения с;
    с.вид_диалога = 2;
    с.вариант_диалога = 1;
    АнимацииЭлементов анимации{};
    for (std::int64_t появление : {0, 100}) {
        SCOPED_TRACE(появление);
        очистить(200);
        с.появление_диалога = появление;
        нарисовать_диалог(рендерер, nullptr, с, анимации);
        const int сдвиг = появление == 0 ? 24 : 0;
        EXPECT_EQ(пиксель(160, 303 + сдвиг), (Цвет{230, 90, 80}));  // error accent
        EXPECT_EQ(пиксель(440, 449 + сдвиг), (Цвет{190, 70, 70}));  // "Удалить"
        EXPECT_EQ(пиксель(150, 449 + сдвиг), (Цвет{36, 39, 48}));   // no third slot
        EXPECT_NEAR(пиксель(10, 10)[0], появление == 0 ? 200 : 200 * 105 / 255, 2);  // dimming
    }
}

TEST(УдалениеСимвола, CutsWholeUtf8Characters) {
    const std::vector<std::pair<std::string, std::string>> случаи{
        {"дом", "до"}, {"", ""}, {"яa", "я"}, {"a😀", "a"}};
    for (const auto& [текст, ожидание] : случаи) {
        EXPECT_EQ(графика__удалить_последний_символ(текст), ожидание) << текст;
    }
}

}  // namespace
}  // namespace vokra::panel
