// Every message of the analyser, as compile-time-checked templates: fmt fills
// the holes left to right and never rescans the inserted text, so printed
// types with braces in them are safe. Literal braces are doubled.
#pragma once

#include <fmt/format.h>

namespace vokra::semantic::сообщения {

// ---- S1: shared by several topics
// Holes: the place, the expected type, the actual type.
inline constexpr auto несовпадение_типов =
    FMT_STRING("несовпадение типов для '{}': ожидался {}, получено {}");
// Holes: the name, the suggestion suffix (possibly empty).
inline constexpr auto переменная_не_объявлена = FMT_STRING("переменная '{}' не объявлена{}");
inline constexpr auto функция_не_объявлена = FMT_STRING("функция '{}' не объявлена{}");
// The suggestion suffix.
inline constexpr auto подсказка = FMT_STRING(" (может, вы имели в виду '{}'?)");
inline constexpr auto индекс_не_целый =
    FMT_STRING("индекс массива должен быть целым числом, получен тип {}");
inline constexpr auto индексация_не_массива =
    FMT_STRING("индексация '[...]' возможна только для массива, получен тип {}");
inline constexpr auto нет_поля = FMT_STRING("у структуры '{}' нет поля '{}'");
inline constexpr auto ошибка_ожидает_текст =
    FMT_STRING("ошибка(...) ожидает текстовое сообщение, получен тип {}");
inline constexpr auto поле_приватное = FMT_STRING(
    "поле '{}.{}' приватное — доступ к нему возможен только изнутри методов самой структуры '{}'");
inline constexpr auto стек_пуст = FMT_STRING("стек областей видимости не может быть пустым");
// ---- S1: expressions
inline constexpr auto интерполяция_тип = FMT_STRING(
    "выражение внутри интерполяции строки (тип {}) нельзя вставить через '$'/'${{...}}' — "
    "поддерживаются только текст, целые числа, дробные числа и 'верно'");
inline constexpr auto пустой_массив = FMT_STRING(
    "пустой литерал массива '[]' не поддержан — не из чего вывести тип элементов (текущая версия "
    "анализатора требует хотя бы один элемент)");
inline constexpr auto элемент_массива_тип = FMT_STRING(
    "элемент массива №{} имеет тип {}, а остальные — {}: все элементы массива должны быть одного "
    "типа");
inline constexpr auto структура_не_найдена_в_таблице =
    FMT_STRING("внутренняя ошибка: структура '{}' не найдена в таблице");
inline constexpr auto нет_поля_результата = FMT_STRING(
    "у результат из типа нет поля '{}' — доступны только 'успешно', 'значение', 'сообщение'");
inline constexpr auto нет_поля_опционального =
    FMT_STRING("у опционального типа (тип?) нет поля '{}' — доступны только 'есть', 'значение'");
inline constexpr auto доступ_не_к_структуре = FMT_STRING(
    "доступ через '.' возможен только к полям структуры или псевдополям результат из "
    "типа/опционального типа (тип?), получен тип {}");
inline constexpr auto проброс_вне_результата = FMT_STRING(
    "оператор '?' можно использовать только внутри функции, объявленной с типом возврата "
    "'результат из типа'");
inline constexpr auto проброс_не_результата =
    FMT_STRING("оператор '?' применим только к значению типа 'результат из типа', получен {}");
inline constexpr auto арифметика_разные_типы =
    FMT_STRING("нельзя выполнить арифметическую операцию над разными типами: {} и {}");
inline constexpr auto сравнение_разные_типы =
    FMT_STRING("нельзя сравнить значения разных типов: {} и {}");
inline constexpr auto логика_не_верно =
    FMT_STRING("операторы '&&' и '||' применимы только к значениям типа 'верно'");
inline constexpr auto побитовые_не_целые =
    FMT_STRING("побитовые операторы ('&', '|', '^') применимы только к целым числам");
inline constexpr auto побитовые_разные_типы =
    FMT_STRING("нельзя выполнить побитовую операцию над разными типами: {} и {}");
inline constexpr auto сдвиг_не_целые =
    FMT_STRING("операторы сдвига ('<<', '>>') применимы только к целым числам");
inline constexpr auto сдвиг_разные_типы = FMT_STRING(
    "нельзя выполнить сдвиг между разными типами: {} и {} — приведи количество сдвигов к типу "
    "значения явно");

// ---- S2: whole program, bodies and statements

// ---- S3: calls, built-ins and methods

// ---- S4: generics

}  // namespace vokra::semantic::сообщения
