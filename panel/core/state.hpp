#pragma once

// The panel's single application state and the per-element animations. The
// frame loop owns one state record; everything else receives it by reference.

#include <array>
#include <cstdint>
#include <string>

namespace vokra::panel {

// The window's fixed size in pixels.
inline constexpr std::int32_t ШИРИНА_ОКНА = 720;
inline constexpr std::int32_t ВЫСОТА_ОКНА = 760;

// Element ids 0..23 index the animations (0 means "no element").
inline constexpr int КОЛИЧЕСТВО_ЭЛЕМЕНТОВ = 24;

// Kinds of background task (`вид_задачи`); 0 means none runs.
namespace виды_задач {
inline constexpr std::int64_t НЕТ = 0;
inline constexpr std::int64_t ВЫБОР_ПАПКИ = 1;
inline constexpr std::int64_t УСТАНОВКА = 2;
inline constexpr std::int64_t УДАЛЕНИЕ = 3;
inline constexpr std::int64_t СБОРКА = 4;
inline constexpr std::int64_t ОБНОВЛЕНИЯ = 5;
inline constexpr std::int64_t ПАКЕТЫ = 6;
inline constexpr std::int64_t ДОКУМЕНТАЦИЯ = 7;
}  // namespace виды_задач

struct СостояниеПриложения {
    std::int64_t вкладка = 0;                   // 0 overview, 1 packages, 2 documentation
    std::int64_t вид_диалога = 0;               // 0 none, 1 install, 2 uninstall, 3 message
    std::int64_t появление_диалога = 0;         // 0..100 slide-in progress
    std::int64_t проявление_содержимого = 100;  // 0..100 fade-in progress
    std::int64_t вариант_диалога = 0;           // 0 neutral, 1 error, 2 success
    std::int64_t вид_задачи = 0;                // 0 none, 1 picker .. 7 README
    std::int64_t кадр_начала_задачи = 0;
    std::int64_t нажатый_элемент = 0;
    std::int64_t мышь_x = -1;
    std::int64_t мышь_y = -1;
    std::int64_t кадр = 0;
    std::int64_t позиция_индикатора = 0;
    bool установлена = false;
    bool есть_обновление = false;
    bool работает = true;
    bool пакеты_ждут_разбора = false;
    std::string заголовок_диалога;
    std::string текст_диалога;
    std::string папка_установки;
    std::string текст_статуса;
    std::string новая_версия;
    std::string что_нового;
    std::string вывод_пакетов;
};

struct АнимацияЭлемента {
    std::int64_t наведение = 0;  // 0..100
    std::int64_t нажатие = 0;    // 0..100
};

using АнимацииЭлементов = std::array<АнимацияЭлемента, КОЛИЧЕСТВО_ЭЛЕМЕНТОВ>;

// Moves `текущее` a quarter of the way to `цель`, and always at least by one.
std::int64_t приблизить(std::int64_t текущее, std::int64_t цель);

// Clamps a colour channel to 0..255.
std::int64_t зажать(std::int64_t значение);

// The program's command line, kept by the entry for the path helpers.
extern int глобальный_argc;
extern char** глобальный_argv;
// The folder of the running panel program, kept by the entry; empty where
// the system does not tell it, and in every program but the panel.
extern std::string глобальная_папка_программы;

// The same value as a 32-bit integer, for drawing calls.
inline std::int32_t ц32(std::int64_t значение) {
    return static_cast<std::int32_t>(значение);
}

}  // namespace vokra::panel
