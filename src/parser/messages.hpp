// Every message of the parser in one place: the templates and the fixed
// messages, as formats checked when the code that fills them compiles (a
// wrong number of holes is a build error), and the descriptions that name the
// construct being read in "<description>: ожидалось …" messages.
#pragma once

#include <fmt/format.h>

#include <string_view>

namespace vokra::parser::сообщения {

// Templates. Literal braces are doubled for fmt.
inline constexpr auto ожидалось = FMT_STRING("{}: ожидалось {}, но встретилось {}");
inline constexpr auto ожидалось_имя = FMT_STRING("{}: ожидалось имя, встретилось {}");
inline constexpr auto верхний_уровень = FMT_STRING(
    "на верхнем уровне ожидалось 'подключить', 'структура', 'функция', 'контракт' или 'внешняя', "
    "встретилось {}");
inline constexpr auto после_подключить =
    FMT_STRING("после 'подключить' ожидалось имя модуля или строка с путём, встретилось {}");
inline constexpr auto после_как = FMT_STRING(
    "после 'как' ожидалась текстовая строка с реальным именем символа библиотеки, встретилось {}");
inline constexpr auto после_запятой_в_как = FMT_STRING(
    "после запятой в 'как \"имя\", ...' ожидалась строка с именем символа для Windows, встретилось "
    "{}");
inline constexpr auto нельзя_присвоить = FMT_STRING(
    "нельзя присвоить значение в {} — это не переменная, не поле структуры и не элемент массива");
inline constexpr auto ожидался_тип = FMT_STRING("ожидался тип, встретилось {}");
inline constexpr auto ожидалось_выражение = FMT_STRING("ожидалось выражение, встретилось {}");
inline constexpr auto незакрытая_интерполяция =
    FMT_STRING("незакрытая '${{' в интерполяции строки — не хватает закрывающей '}}' в \"{}\"");
inline constexpr auto ошибка_интерполяции =
    FMT_STRING("ошибка в выражении интерполяции \"${{{}}}\": {}");
inline constexpr auto лишние_символы_интерполяции = FMT_STRING(
    "лишние символы после выражения в интерполяции \"${{{}}}\" — ожидался конец выражения перед "
    "закрывающей '}}'");

// Fixed messages.
inline constexpr auto блок_не_закрыт = FMT_STRING("не хватает слова «конец» — блок не закрыт");
inline constexpr auto структура_не_закрыта =
    FMT_STRING("не хватает слова «конец» в конце структуры");
inline constexpr auto контракт_не_закрыт = FMT_STRING("не хватает слова «конец» в конце контракта");
inline constexpr auto слишком_глубокая_вложенность =
    FMT_STRING("слишком глубокая вложенность — больше 1000 уровней");

}  // namespace vokra::parser::сообщения

// Descriptions of the constructs, passed to ожидать and ожидать_идентификатор.
namespace vokra::parser::описания {

inline constexpr std::string_view подключение_модуля = "подключение модуля";
inline constexpr std::string_view имя_модуля = "имя модуля";
inline constexpr std::string_view имя_вложенного_модуля = "имя вложенного модуля";
inline constexpr std::string_view конец_подключения = "конец подключения модуля";
inline constexpr std::string_view объявление_структуры = "объявление структуры";
inline constexpr std::string_view имя_структуры = "имя структуры";
inline constexpr std::string_view конец_обобщённых_структуры =
    "конец списка обобщённых параметров структуры";
inline constexpr std::string_view имя_контракта = "имя контракта";
inline constexpr std::string_view имя_поля = "имя поля структуры";
inline constexpr std::string_view конец_поля = "конец объявления поля";
inline constexpr std::string_view конец_тела_структуры = "конец тела структуры";
inline constexpr std::string_view объявление_контракта = "объявление контракта";
inline constexpr std::string_view объявление_метода_контракта = "объявление метода контракта";
inline constexpr std::string_view имя_метода_контракта = "имя метода контракта";
inline constexpr std::string_view начало_параметров_метода_контракта =
    "начало списка параметров метода контракта";
inline constexpr std::string_view конец_параметров_метода_контракта =
    "конец списка параметров метода контракта";
inline constexpr std::string_view конец_сигнатуры_метода_контракта =
    "конец сигнатуры метода контракта (без тела — только ';')";
inline constexpr std::string_view конец_тела_контракта = "конец тела контракта";
inline constexpr std::string_view объявление_внешней_функции = "объявление внешней функции";
inline constexpr std::string_view функция_после_внешняя = "'функция' после 'внешняя'";
inline constexpr std::string_view имя_внешней_функции = "имя внешней функции";
inline constexpr std::string_view начало_параметров_внешней_функции =
    "начало списка параметров внешней функции";
inline constexpr std::string_view конец_параметров_внешней_функции =
    "конец списка параметров внешней функции";
inline constexpr std::string_view конец_внешней_функции =
    "конец объявления внешней функции (без тела — только ';')";
inline constexpr std::string_view объявление_функции = "объявление функции";
inline constexpr std::string_view имя_функции = "имя функции";
inline constexpr std::string_view конец_обобщённых_параметров =
    "конец списка обобщённых параметров";
inline constexpr std::string_view начало_параметров_функции = "начало списка параметров функции";
inline constexpr std::string_view конец_параметров_функции = "конец списка параметров функции";
inline constexpr std::string_view имя_параметра = "имя параметра";
inline constexpr std::string_view имя_параметра_типа =
    "имя параметра типа (например, тип / Ключ / Значение)";
inline constexpr std::string_view имя_ограничения = "имя ограничения (контракта)";
inline constexpr std::string_view условный_оператор = "условный оператор";
inline constexpr std::string_view условие_в_скобках = "условие в скобках";
inline constexpr std::string_view конец_условного_оператора = "конец условного оператора";
inline constexpr std::string_view конец_блока = "конец блока";
inline constexpr std::string_view цикл_для_каждого = "цикл для каждого";
inline constexpr std::string_view ожидалось_каждого = "цикл для каждого (ожидалось 'каждого')";
inline constexpr std::string_view имя_переменной_цикла = "имя переменной цикла";
inline constexpr std::string_view ожидалось_в = "цикл для каждого (ожидалось 'в')";
inline constexpr std::string_view цикл_пока = "цикл пока";
inline constexpr std::string_view оператор_возврата = "оператор возврата";
inline constexpr std::string_view конец_возврата = "конец оператора возврата";
inline constexpr std::string_view конец_прервать = "конец оператора 'прервать'";
inline constexpr std::string_view конец_продолжить = "конец оператора 'продолжить'";
inline constexpr std::string_view неизменяемое_объявление = "неизменяемое объявление";
inline constexpr std::string_view имя_неизменяемой = "имя неизменяемой переменной";
inline constexpr std::string_view инициализация_неизменяемой =
    "инициализация неизменяемой переменной";
inline constexpr std::string_view имя_переменной = "имя переменной";
inline constexpr std::string_view инициализация_переменной = "инициализация переменной";
inline constexpr std::string_view конец_объявления = "конец объявления";
inline constexpr std::string_view оператор = "оператор";
inline constexpr std::string_view конец_присваивания = "конец присваивания";
inline constexpr std::string_view конец_оператора_выражения = "конец оператора-выражения";
inline constexpr std::string_view закрывающая_скобка = "закрывающая скобка выражения";
inline constexpr std::string_view конец_литерала_массива = "конец литерала массива";
inline constexpr std::string_view конец_приведения = "конец приведения типа";
inline constexpr std::string_view конец_аргументов_вызова = "конец списка аргументов вызова";
inline constexpr std::string_view начало_аргументов_после_из =
    "начало аргументов вызова (после 'из тип')";
inline constexpr std::string_view успех_значение = "успех(значение)";
inline constexpr std::string_view ошибка_значение = "ошибка(значение)";
inline constexpr std::string_view имя_после_точки = "имя поля или метода после '.'";
inline constexpr std::string_view начало_аргументов_метода = "начало аргументов вызова метода";
inline constexpr std::string_view конец_аргументов_метода = "конец списка аргументов вызова метода";
inline constexpr std::string_view конец_индекса = "конец индекса";
inline constexpr std::string_view конец_индексации = "конец индексации";
inline constexpr std::string_view конец_объявления_массива = "конец объявления массива";
inline constexpr std::string_view конец_типовых_параметров = "конец списка типовых параметров";
inline constexpr std::string_view результат_из_типа = "результат из типа";
inline constexpr std::string_view канал_из_типа = "канал из типа";

}  // namespace vokra::parser::описания
