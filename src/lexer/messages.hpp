// Every message of the lexer, in one place.
#pragma once

namespace vokra::сообщения_лексера {

inline constexpr const char* неожиданный_символ = "неожиданный символ: '{}'";
inline constexpr const char* незакрытый_текст = "незакрытый текстовый литерал";
inline constexpr const char* обрыв_после_косой = "незакрытый текстовый литерал (обрыв после \\)";
inline constexpr const char* неверное_целое = "не удалось разобрать целое число: {}";
inline constexpr const char* неверное_дробное = "не удалось разобрать дробное число: {}";

}  // namespace vokra::сообщения_лексера
