// The words the grammar gives a meaning of its own beyond the token kinds,
// and the texts that the recorded edits write in place of older spellings.
#pragma once

#include <array>
#include <string_view>

namespace vokra::parser::слова {

// Calls of these names with the given number of arguments are operators.
inline constexpr std::string_view наложить_маску = "наложить_маску";
inline constexpr std::string_view включить_биты = "включить_биты";
inline constexpr std::string_view переключить_биты = "переключить_биты";
inline constexpr std::string_view сдвинуть_влево = "сдвинуть_влево";
inline constexpr std::string_view сдвинуть_вправо = "сдвинуть_вправо";
inline constexpr std::string_view инвертировать_биты = "инвертировать_биты";

// Case forms of the scalar types, read only right after `из`.
inline constexpr std::array<std::string_view, 2> падежи_целое{"целых", "целого"};
inline constexpr std::array<std::string_view, 2> падежи_дробное{"дробных", "дробного"};
inline constexpr std::array<std::string_view, 2> падежи_текст{"текста", "текстов"};
inline constexpr std::array<std::string_view, 2> падежи_верно{"верных", "верного"};

// Texts written by the edits of older spellings.
inline constexpr std::string_view правка_инвертировать = "инвертировать_биты(";
inline constexpr std::string_view правка_закрыть = ")";
inline constexpr std::string_view правка_массив = "массив(";
inline constexpr std::string_view правка_открыть = "(";
inline constexpr char правка_открыть_вид = '(';
inline constexpr char правка_закрыть_вид = ')';
inline constexpr std::string_view правка_двоеточие = ":";
inline constexpr std::string_view правка_запятая = ",";
inline constexpr std::string_view правка_перевод_строки = "\n";
inline constexpr std::string_view правка_конец = "конец";

}  // namespace vokra::parser::слова
