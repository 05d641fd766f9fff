#pragma once

// The logic of one frame after its events: task polling, the package table,
// the periodic installed test and every animation step.

#include <string>
#include <vector>

#include "panel/core/state.hpp"

namespace vokra::panel {

// Polls the running task every this many frames.
inline constexpr std::int64_t КАДРОВ_МЕЖДУ_ОПРОСАМИ = 6;
// A task that has not finished after this many frames is given up.
inline constexpr std::int64_t КАДРОВ_ДО_ОТКАЗА = 3600;
// The installed test repeats every this many frames while idle.
inline constexpr std::int64_t КАДРОВ_МЕЖДУ_ПРОВЕРКАМИ_УСТАНОВКИ = 60;

// The three columns of the packages table, of equal length.
struct СписокПакетов {
    std::vector<std::string> имена;
    std::vector<std::string> источники;
    std::vector<std::string> описания;
};

// A press of any mouse button at (x, y): remembers the element under it.
void нажать_кнопку_мыши(СостояниеПриложения& состояние, std::int64_t x, std::int64_t y);
// A release at (x, y): clicks the element only if the press began on it.
void отпустить_кнопку_мыши(СостояниеПриложения& состояние, std::int64_t x, std::int64_t y);
// Escape and Return while a dialog is open click one of its slots.
void нажать_клавишу_диалога(СостояниеПриложения& состояние, bool escape);

void продвинуть_кадр(СостояниеПриложения& состояние, АнимацииЭлементов& анимации,
                     СписокПакетов& пакеты);

}  // namespace vokra::panel
