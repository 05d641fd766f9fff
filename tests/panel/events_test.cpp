#include "panel/sdl/events.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel/core/dialogs.hpp"
#include "panel/core/frame.hpp"
#include "panel/core/hit_testing.hpp"
#include "panel/core/state.hpp"

namespace vokra::panel {
namespace {

SDL_Event мышь(Uint32 тип, int x, int y) {
    SDL_Event событие{};
    событие.type = тип;
    if (тип == SDL_MOUSEMOTION) {
        событие.motion.x = x, событие.motion.y = y;
    } else {
        событие.button.x = x, событие.button.y = y;
    }
    return событие;
}

void нажать(СостояниеПриложения& с, SDL_Keycode код) {
    SDL_Event событие{};
    событие.type = SDL_KEYDOWN;
    событие.key.keysym.sym = код;
    обработать_событие(с, событие);
}

// An idle panel whose installation folder does not exist.
СостояниеПриложения новое_состояние() {
    СостояниеПриложения с;
    с.папка_установки = "/nonexistent/vokra-panel-test/.vokra";
    return с;
}

void щёлкнуть(СостояниеПриложения& с, int x, int y, int отпустить_x = -1, int отпустить_y = -1) {
    обработать_событие(с, мышь(SDL_MOUSEBUTTONDOWN, x, y));
    обработать_событие(с, мышь(SDL_MOUSEBUTTONUP, отпустить_x < 0 ? x : отпустить_x,
                               отпустить_y < 0 ? y : отпустить_y));
}

void кадры(СостояниеПриложения& с, АнимацииЭлементов& анимации, СписокПакетов& пакеты, int n) {
    for (int i = 0; i < n; ++i) {
        продвинуть_кадр(с, анимации, пакеты);
    }
}

TEST(Нажатия, ClickNeedsPressAndReleaseOnTheSameElement) {
    struct Случай {
        int нажать_x, нажать_y, отпустить_x, отпустить_y;
        std::int64_t вкладка;  // active tab afterwards
    };
    const std::vector<Случай> случаи{
        {75, 75, 75, 75, 1},    // press and release on "Пакеты"
        {75, 75, 75, 125, 0},   // released on another tab
        {75, 75, 400, 600, 0},  // released outside
        {400, 600, 75, 75, 0},  // pressed outside
        {75, 125, 20, 140, 2},  // anywhere inside the same tab
    };
    for (const Случай& сл : случаи) {
        SCOPED_TRACE(сл.нажать_y * 1000 + сл.отпустить_y);
        СостояниеПриложения с = новое_состояние();
        щёлкнуть(с, сл.нажать_x, сл.нажать_y, сл.отпустить_x, сл.отпустить_y);
        EXPECT_EQ(с.вкладка, сл.вкладка);
        EXPECT_EQ(с.проявление_содержимого, сл.вкладка == 0 ? 100 : 0);
        EXPECT_EQ(с.нажатый_элемент, 0);
    }
    // The active tab again: no fade.
    СостояниеПриложения с = новое_состояние();
    щёлкнуть(с, 75, 25);
    EXPECT_EQ(с.проявление_содержимого, 100);
}

TEST(Нажатия, HitTestRespectsDialogTaskAndTab) {
    struct Случай {
        int x, y;
        std::int64_t вкладка, диалог;
        bool задача;
        std::int64_t id;
    };
    const std::vector<Случай> случаи{
        {10, 10, 0, 0, false, 1},    {10, 149, 2, 0, false, 3},   {10, 150, 0, 0, false, 0},
        {200, 210, 0, 0, false, 10}, {389, 249, 0, 0, false, 10}, {390, 249, 0, 0, false, 0},
        {200, 400, 0, 0, false, 13}, {200, 80, 1, 0, false, 14},  {200, 210, 1, 0, false, 0},
        {200, 310, 2, 0, false, 15}, {200, 210, 0, 0, true, 0},   {10, 60, 0, 0, true, 2},
        {10, 10, 0, 1, false, 0},    {200, 210, 0, 1, false, 0},  {150, 440, 0, 1, false, 23},
        {300, 440, 0, 1, false, 22}, {500, 440, 0, 1, false, 21}, {150, 440, 0, 2, false, 0},
        {300, 440, 0, 2, false, 22}, {300, 440, 0, 3, false, 0},  {500, 469, 0, 3, true, 21},
    };
    for (const Случай& сл : случаи) {
        EXPECT_EQ(элемент_в_точке(сл.x, сл.y, сл.вкладка, сл.диалог, сл.задача), сл.id)
            << сл.x << "," << сл.y << " tab " << сл.вкладка << " dialog " << сл.диалог;
    }
}

TEST(Нажатия, DialogKeysClickTheirSlots) {
    // Escape cancels every dialog, other keys do nothing.
    for (std::int64_t вид : {1, 2, 3}) {
        SCOPED_TRACE(вид);
        СостояниеПриложения с = новое_состояние();
        открыть_диалог(с, вид, 0, "t", "x");
        нажать(с, SDLK_a);
        EXPECT_EQ(с.вид_диалога, вид);
        нажать(с, SDLK_ESCAPE);
        EXPECT_EQ(с.вид_диалога, 0);
        EXPECT_EQ(с.вид_задачи, 0);
    }
    // Return takes the first slot of a message; without a dialog keys do
    // nothing.
    СостояниеПриложения с = новое_состояние();
    открыть_диалог(с, диалоги::СООБЩЕНИЕ, 1, "t", "x");
    нажать(с, SDLK_RETURN);
    нажать(с, SDLK_RETURN);
    EXPECT_EQ(с.вид_диалога, 0);
    EXPECT_EQ(с.вид_задачи, 0);
    SDL_Event выход{};
    выход.type = SDL_QUIT;
    обработать_событие(с, выход);
    EXPECT_FALSE(с.работает);
}

TEST(Нажатия, ActionButtonsOpenTheirDialogs) {
    struct Случай {
        bool установлена;
        int y;
        std::string заголовок;
    };
    for (const Случай& сл : std::vector<Случай>{{false, 210, "Установить Вокру?"},
                                                {true, 210, "Вокра уже установлена"},
                                                {true, 270, "Удалить Вокру?"},
                                                {false, 330, "Вокра не установлена"}}) {
        СостояниеПриложения с = новое_состояние();
        с.установлена = сл.установлена;
        щёлкнуть(с, 200, сл.y);
        EXPECT_EQ(с.заголовок_диалога, сл.заголовок);
        EXPECT_EQ(с.вид_задачи, 0);
    }
}

TEST(Нажатия, UninstallOnlyRemovesFoldersNamedVokra) {
    СостояниеПриложения с = новое_состояние();
    с.установлена = true;
    с.папка_установки = "/home/u/vokra";
    щёлкнуть(с, 200, 270);
    ASSERT_EQ(с.вид_диалога, диалоги::УДАЛЕНИЕ);
    щёлкнуть(с, 150, 440);  // slot 3 has no label: nothing happens
    ASSERT_EQ(с.вид_диалога, диалоги::УДАЛЕНИЕ);
    щёлкнуть(с, 500, 440);
    EXPECT_EQ(с.вид_диалога, диалоги::СООБЩЕНИЕ);
    EXPECT_EQ(с.заголовок_диалога, "Отказано в удалении");
    EXPECT_EQ(с.вид_задачи, 0);
}

TEST(Кадр, AnimationsFollowPointerAndState) {
    СостояниеПриложения с = новое_состояние();
    АнимацииЭлементов анимации{};
    СписокПакетов пакеты;
    обработать_событие(с, мышь(SDL_MOUSEMOTION, 200, 210));
    обработать_событие(с, мышь(SDL_MOUSEBUTTONDOWN, 200, 210));
    кадры(с, анимации, пакеты, 30);
    EXPECT_EQ(анимации[10].наведение + анимации[10].нажатие, 200);
    щёлкнуть(с, 75, 125, 75, 125);  // the pointer leaves; the button lets go
    открыть_диалог(с, диалоги::СООБЩЕНИЕ, 0, "t", "x");
    кадры(с, анимации, пакеты, 30);
    EXPECT_EQ(анимации[10].наведение + анимации[10].нажатие, 0);
    EXPECT_EQ(с.позиция_индикатора + с.проявление_содержимого + с.появление_диалога, 300);
}

TEST(Кадр, NewPackageOutputIsParsedOnTheNextFrame) {
    СостояниеПриложения с = новое_состояние();
    АнимацииЭлементов анимации{};
    СписокПакетов пакеты{{"old"}, {"old"}, {"old"}};
    с.вывод_пакетов = "Пакеты:\n  a\n    источник: git\n  b\n";
    с.пакеты_ждут_разбора = true;
    продвинуть_кадр(с, анимации, пакеты);
    EXPECT_FALSE(с.пакеты_ждут_разбора);
    EXPECT_EQ(пакеты.имена, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(пакеты.источники, (std::vector<std::string>{"git", "—"}));
}

TEST(Кадр, UnfinishedTaskTimesOutButThePickerWaits) {
    for (std::int64_t вид : {виды_задач::СБОРКА, виды_задач::ВЫБОР_ПАПКИ}) {
        SCOPED_TRACE(вид);
        СостояниеПриложения с = новое_состояние();
        АнимацииЭлементов анимации{};
        СписокПакетов пакеты;
        с.вид_задачи = вид;
        с.кадр_начала_задачи = 4;
        с.кадр = 4;
        кадры(с, анимации, пакеты, 3601);
        EXPECT_EQ(с.вид_задачи, вид);  // the poll at 3600 is 3596 frames after the start
        продвинуть_кадр(с, анимации, пакеты);
        EXPECT_EQ(с.вид_задачи, вид == виды_задач::ВЫБОР_ПАПКИ ? вид : 0);
    }
}

}  // namespace
}  // namespace vokra::panel
