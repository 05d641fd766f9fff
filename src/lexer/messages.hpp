// Every message of the lexer, in one place, as formats checked when the code
// that fills them compiles.
#pragma once

#include <fmt/format.h>

namespace vokra::сообщения_лексера {

inline constexpr auto неожиданный_символ = FMT_STRING("неожиданный символ: '{}'");
inline constexpr auto незакрытый_текст = FMT_STRING("незакрытый текстовый литерал");
inline constexpr auto обрыв_после_косой =
    FMT_STRING("незакрытый текстовый литерал (обрыв после \\)");
inline constexpr auto неверное_целое = FMT_STRING("не удалось разобрать целое число: {}");
inline constexpr auto неверное_дробное = FMT_STRING("не удалось разобрать дробное число: {}");

}  // namespace vokra::сообщения_лексера
