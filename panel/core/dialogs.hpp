#pragma once

// Opening and closing the one modal dialog, and the click of an element id.

#include <cstdint>
#include <string>
#include <string_view>

#include "panel/core/state.hpp"

namespace vokra::panel {

// Width in characters to which dialog texts are wrapped.
inline constexpr std::int64_t ШИРИНА_ТЕКСТА_ДИАЛОГА = 46;

namespace диалоги {
inline constexpr std::int64_t НЕТ = 0;
inline constexpr std::int64_t УСТАНОВКА = 1;
inline constexpr std::int64_t УДАЛЕНИЕ = 2;
inline constexpr std::int64_t СООБЩЕНИЕ = 3;
}  // namespace диалоги

namespace варианты {
inline constexpr std::int64_t ОБЫЧНЫЙ = 0;
inline constexpr std::int64_t ОШИБКА = 1;
inline constexpr std::int64_t УСПЕХ = 2;
}  // namespace варианты

// Replaces any open dialog; the text is wrapped to the dialog's width.
void открыть_диалог(СостояниеПриложения& состояние, std::int64_t вид, std::int64_t вариант,
                    std::string_view заголовок, std::string_view текст);
void закрыть_диалог(СостояниеПриложения& состояние);

std::string сообщение_установки(std::string_view папка);
void открыть_диалог_установки(СостояниеПриложения& состояние);
void сообщить_что_не_установлена(СостояниеПриложения& состояние);

// Performs the click of element `id` (tabs, action buttons, dialog slots).
void обработать_нажатие(СостояниеПриложения& состояние, std::int64_t id);

}  // namespace vokra::panel
