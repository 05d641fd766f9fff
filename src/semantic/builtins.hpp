// The built-in functions of the language: their reserved names and, for each,
// the rule that types a call: how many arguments, which class of type each
// argument place accepts, the result, and the messages for a wrong count or
// a wrong argument type.
#pragma once

#include <fmt/format.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "semantic/analyser.hpp"
#include "semantic/error.hpp"
#include "semantic/types.hpp"

namespace vokra::semantic {

// The reserved names of the built-in functions. The first
// `число_подсказываемых_встроенных` are offered as suggestions, in this order.
inline constexpr std::array<std::string_view, 32> имена_встроенных_функций = {
    "вывести",
    "длина",
    "целое_в_текст",
    "дробное_в_текст",
    "текст_в_целое",
    "абс",
    "мин",
    "макс",
    "верно_в_текст",
    "содержит",
    "найти",
    "подстрока",
    "байт_текста",
    "прочитать_целое32",
    "записать_целое32",
    "прочитать_текст_по_смещению",
    "регистр_в_верхний",
    "регистр_в_нижний",
    "прочитать_строку",
    "аргументы_командной_строки",
    "прочитать_файл",
    "записать_файл",
    "размер_файла",
    "дописать_в_файл_бинарно",
    "прочитать_часть_файла",
    "переименовать_файл",
    "выполнить_команду",
    "дождаться_все_потоки",
    "дождаться_поток",
    "юникс_время",
    "монотонное_время_нс",
    "прочитать_указатель",
};
inline constexpr std::size_t число_подсказываемых_встроенных = 31;

// The types one argument place accepts. Неизвестен passes every class.
enum class КлассАргумента : std::uint8_t {
    Текст,        // Текст
    Целое,        // any integer kind
    ТочноЦелое,   // Целое alone
    Дробное,      // Дробное, Дробное32, Дробное64
    Истина,       // Верно
    НомерПотока,  // Целое or Целое32
};

// The message for an argument of a wrong type. Its holes, left to right, are
// the printed type alone; the built-in's name and the type; or the
// argument's number (from 1) and the type.
using ШаблонТипа = fmt::format_string<std::string_view>;
using ШаблонИмениИТипа = fmt::format_string<std::string_view, std::string_view>;
using ШаблонНомераИТипа = fmt::format_string<std::size_t, std::string_view>;
using СообщениеОТипе =
    std::variant<std::monostate, ШаблонТипа, ШаблонИмениИТипа, ШаблонНомераИТипа>;

struct АргументВстроенной {
    КлассАргумента класс = КлассАргумента::Текст;
    СообщениеОТипе сообщение;
};

struct ВстроеннаяФункция {
    std::string_view имя;
    // None: any number of arguments of any types.
    std::optional<std::size_t> число_аргументов;
    // A hole in the count message takes the built-in's own name.
    std::optional<fmt::format_string<std::string_view>> сообщение_о_числе;
    // The first `число_аргументов` places are used.
    std::array<АргументВстроенной, 3> аргументы;
    РешённыйТип (*результат)();
};

// The rule of the built-in with exactly this name, or none.
const ВстроеннаяФункция* найти_встроенную_функцию(std::string_view имя);
// The same for a name hashed already: one lookup, not a comparison per
// built-in.
const ВстроеннаяФункция* найти_встроенную_функцию(const ИскомоеИмя& имя);

// The result of a call of the built-in with arguments of these types: the
// count is checked first, then each argument in order against its class.
Итог<РешённыйТип> тип_встроенной_функции(const ВстроеннаяФункция& функция,
                                         std::span<const РешённыйТип> аргументы);

}  // namespace vokra::semantic
