#pragma once

// Which clickable element lies under a window point. Every clickable thing
// has a small id; 0 means nothing.

#include <cstdint>
#include <string_view>

namespace vokra::panel {

namespace элементы {
inline constexpr std::int64_t ВКЛАДКА_ОБЗОР = 1;
inline constexpr std::int64_t ВКЛАДКА_ПАКЕТЫ = 2;
inline constexpr std::int64_t ВКЛАДКА_ДОКУМЕНТАЦИЯ = 3;
inline constexpr std::int64_t УСТАНОВИТЬ = 10;
inline constexpr std::int64_t УДАЛИТЬ = 11;
inline constexpr std::int64_t СОБРАТЬ = 12;
inline constexpr std::int64_t ОБНОВЛЕНИЕ = 13;
inline constexpr std::int64_t ОБНОВИТЬ_СПИСОК = 14;
inline constexpr std::int64_t ОТКРЫТЬ_README = 15;
inline constexpr std::int64_t СЛОТ_1 = 21;
inline constexpr std::int64_t СЛОТ_2 = 22;
inline constexpr std::int64_t СЛОТ_3 = 23;
}  // namespace элементы

struct Прямоугольник {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
};

struct ЦветКнопки {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

bool внутри(std::int64_t px, std::int64_t py, std::int64_t x, std::int64_t y, std::int64_t w,
            std::int64_t h);

// Hit rectangle of an element id (tabs, action buttons and dialog slots at
// their final place); a zero rectangle for ids that have none.
Прямоугольник прямоугольник_элемента(std::int64_t id);

// Label of dialog slot 1..3 in dialog kind 1..3; empty when the slot is unused.
std::string_view подпись_слота(std::int64_t вид_диалога, std::int64_t слот);
ЦветКнопки цвет_слота(std::int64_t вид_диалога, std::int64_t слот);

std::int64_t элемент_в_точке(std::int64_t x, std::int64_t y, std::int64_t вкладка,
                             std::int64_t вид_диалога, bool идёт_задача);

}  // namespace vokra::panel
