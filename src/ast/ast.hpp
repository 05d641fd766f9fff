// The syntax tree of one source text: top-level declarations, statements,
// assignment targets, expressions and type annotations.
//
// Every union is a record holding a std::variant named `вид` whose
// alternatives are nested records, in their fixed order. Each alternative
// carries its printed name in `название`. A node owns its children: lists by
// value, recursive children through Коробка or ЗаписьСоСписком, so copying a
// node copies the whole subtree and dropping it releases everything below.
// The kinds that would make their union large (calls, field access, generic
// types) keep their parts behind one pointer and read them through accessors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "ast/box.hpp"

namespace vokra::ast {

enum class БинарныйОператор : std::uint8_t {
    Плюс,
    Минус,
    Умножить,
    Разделить,
    Остаток,
    Равно,
    НеРавно,
    Меньше,
    Больше,
    МеньшеРавно,
    БольшеРавно,
    И,
    Или,
    БитИ,
    БитИли,
    БитИскл,
    СдвигВлево,
    СдвигВправо,
};

enum class УнарныйОператор : std::uint8_t { Минус, Не, БитНе };

enum class Видимость : std::uint8_t { Публично, Приватно };

// A type annotation as written.
struct Тип {
    // The scalars, in the order of their keywords.
    struct Целое {
        static constexpr std::string_view название = "Целое";
    };
    struct Целое8 {
        static constexpr std::string_view название = "Целое8";
    };
    struct Целое16 {
        static constexpr std::string_view название = "Целое16";
    };
    struct Целое32 {
        static constexpr std::string_view название = "Целое32";
    };
    struct Целое64 {
        static constexpr std::string_view название = "Целое64";
    };
    struct Беззнак8 {
        static constexpr std::string_view название = "Беззнак8";
    };
    struct Беззнак16 {
        static constexpr std::string_view название = "Беззнак16";
    };
    struct Беззнак32 {
        static constexpr std::string_view название = "Беззнак32";
    };
    struct Беззнак64 {
        static constexpr std::string_view название = "Беззнак64";
    };
    struct Дробное {
        static constexpr std::string_view название = "Дробное";
    };
    struct Дробное32 {
        static constexpr std::string_view название = "Дробное32";
    };
    struct Дробное64 {
        static constexpr std::string_view название = "Дробное64";
    };
    struct Текст {
        static constexpr std::string_view название = "Текст";
    };
    struct Верно {
        static constexpr std::string_view название = "Верно";
    };
    // A structure, contract or type-parameter name.
    struct Пользовательский {
        static constexpr std::string_view название = "Пользовательский";
        std::string имя;
    };
    // A name with type arguments, both held through one pointer.
    struct Обобщённый {
        static constexpr std::string_view название = "Обобщённый";
        Обобщённый(std::string имя, std::vector<Тип> параметры);
        explicit Обобщённый(ЗаписьСоСписком<std::string, Тип> части) : части(std::move(части)) {}
        std::string& имя() { return части.запись(); }
        const std::string& имя() const { return части.запись(); }
        std::span<Тип> параметры();
        std::span<const Тип> параметры() const;

        ЗаписьСоСписком<std::string, Тип> части;
    };
    // One size suffix; an open size has no размер.
    struct Массив {
        static constexpr std::string_view название = "Массив";
        Коробка<Тип> элемент;
        std::optional<std::int64_t> размер;
    };
    struct Опциональный {
        static constexpr std::string_view название = "Опциональный";
        Коробка<Тип> тип;
    };
    struct Результат {
        static constexpr std::string_view название = "Результат";
        Коробка<Тип> тип;
    };
    struct Канал {
        static constexpr std::string_view название = "Канал";
        Коробка<Тип> тип;
    };

    using Вид = std::variant<Целое, Целое8, Целое16, Целое32, Целое64, Беззнак8, Беззнак16,
                             Беззнак32, Беззнак64, Дробное, Дробное32, Дробное64, Текст, Верно,
                             Пользовательский, Обобщённый, Массив, Опциональный, Результат, Канал>;
    Вид вид;
};

inline Тип::Обобщённый::Обобщённый(std::string имя, std::vector<Тип> параметры)
    : части(std::move(имя), std::move(параметры)) {}
inline std::span<Тип> Тип::Обобщённый::параметры() {
    return части.элементы();
}
inline std::span<const Тип> Тип::Обобщённый::параметры() const {
    return части.элементы();
}

// A type sits in every declaration, parameter and field.
static_assert(sizeof(Тип) <= 40);

// The number of scalar alternatives at the start of Тип::Вид.
inline constexpr std::size_t число_скалярных_типов = 14;

struct Выражение;

// Frees an expression that создать made: a run of prefix operators from
// this frame, each operator's operand taken out of it before it goes, so
// that a long run takes no frame per operator. Found in place of the
// generic удалить_узел for every expression a holder frees.
inline void удалить_узел(Выражение* выражение) noexcept;

// A list of nodes held in place, its room from the pool of nodes.
template <class T>
using СписокУзлов = std::vector<T, АллокаторУзлов<T>>;

// What a call holds ahead of its arguments.
struct ЗаголовокВызова {
    std::string имя;
    УзкийСписок<Тип> типовые_параметры;
};
struct ЗаголовокВызоваМетода;
struct ПолеОбъекта;
struct ОперандыБинарного;

struct ФрагментТекста;

struct Выражение {
    struct ЦелоеЛит {
        static constexpr std::string_view название = "ЦелоеЛит";
        std::int64_t значение = 0;
    };
    struct ДробноеЛит {
        static constexpr std::string_view название = "ДробноеЛит";
        double значение = 0;
    };
    // A text with nothing to interpolate, escapes already resolved.
    struct ТекстЛит {
        static constexpr std::string_view название = "ТекстЛит";
        std::string значение;
    };
    struct ИнтерполированныйТекст {
        static constexpr std::string_view название = "ИнтерполированныйТекст";
        std::vector<ФрагментТекста> фрагменты;
    };
    struct ВерноЛит {
        static constexpr std::string_view название = "ВерноЛит";
        bool значение = false;
    };
    struct НеуказаноЛит {
        static constexpr std::string_view название = "НеуказаноЛит";
    };
    struct Идентификатор {
        static constexpr std::string_view название = "Идентификатор";
        std::string имя;
    };
    struct МассивЛит {
        static constexpr std::string_view название = "МассивЛит";
        СписокУзлов<Выражение> элементы;
    };
    // The three kinds below hold their parts through one pointer, which
    // keeps every expression small; a call's arguments lie in the same
    // allocation as its name.
    struct ВызовФункции {
        static constexpr std::string_view название = "ВызовФункции";
        ВызовФункции(std::string имя, УзкийСписок<Тип> типовые_параметры,
                     std::vector<Выражение> аргументы);
        explicit ВызовФункции(ЗаписьСоСписком<ЗаголовокВызова, Выражение> части)
            : части(std::move(части)) {}
        std::string& имя();
        const std::string& имя() const;
        УзкийСписок<Тип>& типовые_параметры();
        const УзкийСписок<Тип>& типовые_параметры() const;
        std::span<Выражение> аргументы();
        std::span<const Выражение> аргументы() const;

        ЗаписьСоСписком<ЗаголовокВызова, Выражение> части;
    };
    struct ДоступКПолю {
        static constexpr std::string_view название = "ДоступКПолю";
        ДоступКПолю(Выражение&& объект, std::string поле);
        Выражение& объект();
        const Выражение& объект() const;
        std::string& поле();
        const std::string& поле() const;

        Коробка<ПолеОбъекта> части;
    };
    // An empty метод stands for arguments applied to an expression that is
    // not a plain name; the index rewrite treats it as indexing.
    struct ВызовМетода {
        static constexpr std::string_view название = "ВызовМетода";
        ВызовМетода(Выражение объект, std::string метод, УзкийСписок<Тип> типовые_параметры,
                    std::vector<Выражение> аргументы);
        explicit ВызовМетода(ЗаписьСоСписком<ЗаголовокВызоваМетода, Выражение> части)
            : части(std::move(части)) {}
        Выражение& объект();
        const Выражение& объект() const;
        std::string& метод();
        const std::string& метод() const;
        УзкийСписок<Тип>& типовые_параметры();
        const УзкийСписок<Тип>& типовые_параметры() const;
        std::span<Выражение> аргументы();
        std::span<const Выражение> аргументы() const;

        ЗаписьСоСписком<ЗаголовокВызоваМетода, Выражение> части;
    };
    struct ДоступПоИндексу {
        static constexpr std::string_view название = "ДоступПоИндексу";
        Коробка<Выражение> массив;
        Коробка<Выражение> индекс;
    };
    // Both operands in one allocation.
    struct Бинарное {
        static constexpr std::string_view название = "Бинарное";
        Бинарное(Выражение&& левое, БинарныйОператор оператор, Выражение&& правое);
        Выражение& левое();
        const Выражение& левое() const;
        Выражение& правое();
        const Выражение& правое() const;

        Коробка<ОперандыБинарного> операнды;
        БинарныйОператор оператор = БинарныйОператор::Плюс;
    };
    struct Унарное {
        static constexpr std::string_view название = "Унарное";
        УнарныйОператор оператор = УнарныйОператор::Минус;
        Коробка<Выражение> операнд;
    };
    // Postfix `?`.
    struct Проброс {
        static constexpr std::string_view название = "Проброс";
        Коробка<Выражение> значение;
    };
    struct Успех {
        static constexpr std::string_view название = "Успех";
        Коробка<Выражение> значение;
    };
    struct Ошибка {
        static constexpr std::string_view название = "Ошибка";
        Коробка<Выражение> значение;
    };

    using Вид =
        std::variant<ЦелоеЛит, ДробноеЛит, ТекстЛит, ИнтерполированныйТекст, ВерноЛит, НеуказаноЛит,
                     Идентификатор, МассивЛит, ВызовФункции, ДоступКПолю, ВызовМетода,
                     ДоступПоИндексу, Бинарное, Унарное, Проброс, Успех, Ошибка>;
    Вид вид;
};

// One piece of an interpolated text.
struct ФрагментТекста {
    struct Текст {
        static constexpr std::string_view название = "Текст";
        std::string текст;
    };
    struct Выражение {
        static constexpr std::string_view название = "Выражение";
        ast::Выражение выражение;
    };

    using Вид = std::variant<Текст, Выражение>;
    Вид вид;
};

struct ЗаголовокВызоваМетода {
    Выражение объект;
    std::string метод;
    УзкийСписок<Тип> типовые_параметры;
};

struct ПолеОбъекта {
    Выражение объект;
    std::string поле;
};

struct ОперандыБинарного {
    Выражение левое;
    Выражение правое;
};

// The list of a call that is the last argument of a call, taken out of it:
// a nest of calls is then freed level by level in one frame
// (ЗаписьСоСписком::удалить) instead of a few frames per level.
inline void* отделить_вложенный_список(Выражение& последний, const ЗаголовокВызова*) {
    auto* вызов = std::get_if<Выражение::ВызовФункции>(&последний.вид);
    return вызов ? std::exchange(вызов->части.заголовок, nullptr) : nullptr;
}

// The same for the child a chain of prefix operators, of `?`, of успех or
// ошибка, or of index accesses goes deep through, held in a box of its own.
inline Выражение* отделить_вложенный_узел(Выражение& выражение) {
    using В = Выражение;
    if (auto* у = std::get_if<В::Унарное>(&выражение.вид))
        return у->операнд.указатель.release();
    if (auto* п = std::get_if<В::Проброс>(&выражение.вид))
        return п->значение.указатель.release();
    if (auto* у = std::get_if<В::Успех>(&выражение.вид))
        return у->значение.указатель.release();
    if (auto* о = std::get_if<В::Ошибка>(&выражение.вид))
        return о->значение.указатель.release();
    if (auto* д = std::get_if<В::ДоступПоИндексу>(&выражение.вид))
        return д->массив.указатель.release();
    return nullptr;
}

// The operands of a binary operator whose left operand is one too, as the
// chains of them lean: the left one's operands are taken out and freed
// next, in this frame.
inline ОперандыБинарного* отделить_вложенный_узел(ОперандыБинарного& операнды) {
    auto* левое = std::get_if<Выражение::Бинарное>(&операнды.левое.вид);
    return левое ? левое->операнды.указатель.release() : nullptr;
}

inline Выражение::ВызовФункции::ВызовФункции(std::string имя, УзкийСписок<Тип> типовые_параметры,
                                             std::vector<Выражение> аргументы)
    : части({std::move(имя), std::move(типовые_параметры)}, std::move(аргументы)) {}
inline std::string& Выражение::ВызовФункции::имя() {
    return части.запись().имя;
}
inline const std::string& Выражение::ВызовФункции::имя() const {
    return части.запись().имя;
}
inline УзкийСписок<Тип>& Выражение::ВызовФункции::типовые_параметры() {
    return части.запись().типовые_параметры;
}
inline const УзкийСписок<Тип>& Выражение::ВызовФункции::типовые_параметры() const {
    return части.запись().типовые_параметры;
}
inline std::span<Выражение> Выражение::ВызовФункции::аргументы() {
    return части.элементы();
}
inline std::span<const Выражение> Выражение::ВызовФункции::аргументы() const {
    return части.элементы();
}

inline Выражение::ДоступКПолю::ДоступКПолю(Выражение&& объект, std::string поле)
    : части(std::in_place, std::move(объект), std::move(поле)) {}
inline Выражение& Выражение::ДоступКПолю::объект() {
    return части->объект;
}
inline const Выражение& Выражение::ДоступКПолю::объект() const {
    return части->объект;
}
inline std::string& Выражение::ДоступКПолю::поле() {
    return части->поле;
}
inline const std::string& Выражение::ДоступКПолю::поле() const {
    return части->поле;
}

inline Выражение::ВызовМетода::ВызовМетода(Выражение объект, std::string метод,
                                           УзкийСписок<Тип> типовые_параметры,
                                           std::vector<Выражение> аргументы)
    : части({std::move(объект), std::move(метод), std::move(типовые_параметры)},
            std::move(аргументы)) {}
inline Выражение& Выражение::ВызовМетода::объект() {
    return части.запись().объект;
}
inline const Выражение& Выражение::ВызовМетода::объект() const {
    return части.запись().объект;
}
inline std::string& Выражение::ВызовМетода::метод() {
    return части.запись().метод;
}
inline const std::string& Выражение::ВызовМетода::метод() const {
    return части.запись().метод;
}
inline УзкийСписок<Тип>& Выражение::ВызовМетода::типовые_параметры() {
    return части.запись().типовые_параметры;
}
inline const УзкийСписок<Тип>& Выражение::ВызовМетода::типовые_параметры() const {
    return части.запись().типовые_параметры;
}
inline std::span<Выражение> Выражение::ВызовМетода::аргументы() {
    return части.элементы();
}
inline std::span<const Выражение> Выражение::ВызовМетода::аргументы() const {
    return части.элементы();
}

inline Выражение::Бинарное::Бинарное(Выражение&& левое, БинарныйОператор оператор,
                                     Выражение&& правое)
    : операнды(std::in_place, std::move(левое), std::move(правое)), оператор(оператор) {}
inline Выражение& Выражение::Бинарное::левое() {
    return операнды->левое;
}
inline const Выражение& Выражение::Бинарное::левое() const {
    return операнды->левое;
}
inline Выражение& Выражение::Бинарное::правое() {
    return операнды->правое;
}
inline const Выражение& Выражение::Бинарное::правое() const {
    return операнды->правое;
}

// Every boxed expression takes a 48-byte heap chunk; a larger node would
// take the next size up.
static_assert(sizeof(Выражение) <= 40);

inline void удалить_узел(Выражение* выражение) noexcept {
    while (выражение != nullptr) {
        Выражение* операнд = nullptr;
        if (auto* унарное = std::get_if<Выражение::Унарное>(&выражение->вид)) [[unlikely]]
            операнд = унарное->операнд.указатель.release();
        выражение->~Выражение();
        освободить_память_узла(выражение, sizeof(Выражение));
        выражение = операнд;
    }
}

// The left side of an assignment.
struct МестоЗаписи {
    struct Переменная {
        static constexpr std::string_view название = "Переменная";
        std::string имя;
    };
    struct Поле {
        static constexpr std::string_view название = "Поле";
        Коробка<МестоЗаписи> объект;
        std::string поле;
    };
    struct Индекс {
        static constexpr std::string_view название = "Индекс";
        Коробка<МестоЗаписи> массив;
        Коробка<Выражение> индекс;
    };

    using Вид = std::variant<Переменная, Поле, Индекс>;
    Вид вид;
};

struct ОператорСоСтрокой;

// A body: each statement with the 1-based line of its first token.
using Блок = std::vector<ОператорСоСтрокой>;

struct ЧастиОбъявления;
struct ЧастиПрисваивания;
struct ЧастиЕсли;
struct ЧастиДляКаждого;
struct ЧастиПока;

// A declaration of a variable, or of one written after `неизменно`: the two
// kinds differ in nothing but that.
template <bool Неизменная>
struct Объявление {
    static constexpr std::string_view название =
        Неизменная ? "ОбъявлениеНеизменной" : "ОбъявлениеПеременной";
    Объявление(Тип тип, std::string имя, Выражение значение);
    Тип& тип();
    const Тип& тип() const;
    std::string& имя();
    const std::string& имя() const;
    Выражение& значение();
    const Выражение& значение() const;

    Коробка<ЧастиОбъявления> части;
};

// A statement is as small as an expression statement, so that a body of
// many short statements costs little: the kinds with more parts keep them
// behind one pointer and read them through accessors.
struct Оператор {
    using ОбъявлениеПеременной = Объявление<false>;
    using ОбъявлениеНеизменной = Объявление<true>;
    struct Присваивание {
        static constexpr std::string_view название = "Присваивание";
        Присваивание(МестоЗаписи цель, Выражение значение);
        МестоЗаписи& цель();
        const МестоЗаписи& цель() const;
        Выражение& значение();
        const Выражение& значение() const;

        Коробка<ЧастиПрисваивания> части;
    };
    struct ВыражениеОператор {
        static constexpr std::string_view название = "ВыражениеОператор";
        Выражение выражение;
    };
    // An else-if chain nests: иначе holds one statement, the inner Если.
    struct Если {
        static constexpr std::string_view название = "Если";
        Если(Выражение условие, Блок то, std::optional<Блок> иначе);
        Выражение& условие();
        const Выражение& условие() const;
        Блок& то();
        const Блок& то() const;
        std::optional<Блок>& иначе();
        const std::optional<Блок>& иначе() const;

        Коробка<ЧастиЕсли> части;
    };
    struct ДляКаждого {
        static constexpr std::string_view название = "ДляКаждого";
        ДляКаждого(std::string переменная, Выражение коллекция, Блок тело);
        std::string& переменная();
        const std::string& переменная() const;
        Выражение& коллекция();
        const Выражение& коллекция() const;
        Блок& тело();
        const Блок& тело() const;

        Коробка<ЧастиДляКаждого> части;
    };
    struct Пока {
        static constexpr std::string_view название = "Пока";
        Пока(Выражение условие, Блок тело);
        Выражение& условие();
        const Выражение& условие() const;
        Блок& тело();
        const Блок& тело() const;

        Коробка<ЧастиПока> части;
    };
    // The value, when one is written, is held through a pointer, which is
    // empty for `вернуть;`.
    struct Вернуть {
        static constexpr std::string_view название = "Вернуть";
        Вернуть(std::optional<Выражение> значение = std::nullopt)
            : значение(значение ? Коробка<Выражение>(std::move(*значение)) : Коробка<Выражение>()) {
        }

        Коробка<Выражение> значение;
    };
    struct ПараллельныйБлок {
        static constexpr std::string_view название = "ПараллельныйБлок";
        bool детерминировано = false;
        Блок тело;
    };
    struct Прервать {
        static constexpr std::string_view название = "Прервать";
    };
    struct Продолжить {
        static constexpr std::string_view название = "Продолжить";
    };

    using Вид =
        std::variant<ОбъявлениеПеременной, ОбъявлениеНеизменной, Присваивание, ВыражениеОператор,
                     Если, ДляКаждого, Пока, Вернуть, ПараллельныйБлок, Прервать, Продолжить>;
    Вид вид;
};

struct ОператорСоСтрокой {
    Оператор оператор;
    std::size_t строка = 1;
};

// Blocks hold their statements in place, each no larger than an expression
// with its kind and its line.
static_assert(sizeof(ОператорСоСтрокой) <= 56);

struct ЧастиОбъявления {
    Тип тип;
    std::string имя;
    Выражение значение;
};
struct ЧастиПрисваивания {
    МестоЗаписи цель;
    Выражение значение;
};
struct ЧастиЕсли {
    Выражение условие;
    Блок то;
    std::optional<Блок> иначе;
};
struct ЧастиДляКаждого {
    std::string переменная;
    Выражение коллекция;
    Блок тело;
};
struct ЧастиПока {
    Выражение условие;
    Блок тело;
};

// The accessors of the statements, each part one member of their parts.
#define ЧАСТЬ_ОПЕРАТОРА(Вид, Тип_, часть)   \
    inline Тип_& Вид::часть() {             \
        return части->часть;                \
    }                                       \
    inline const Тип_& Вид::часть() const { \
        return части->часть;                \
    }
#define ЧАСТЬ_ОБЪЯВЛЕНИЯ(Тип_, часть)                   \
    template <bool Неизменная>                          \
    Тип_& Объявление<Неизменная>::часть() {             \
        return части->часть;                            \
    }                                                   \
    template <bool Неизменная>                          \
    const Тип_& Объявление<Неизменная>::часть() const { \
        return части->часть;                            \
    }
ЧАСТЬ_ОБЪЯВЛЕНИЯ(Тип, тип)
ЧАСТЬ_ОБЪЯВЛЕНИЯ(std::string, имя)
ЧАСТЬ_ОБЪЯВЛЕНИЯ(Выражение, значение)
#undef ЧАСТЬ_ОБЪЯВЛЕНИЯ
ЧАСТЬ_ОПЕРАТОРА(Оператор::Присваивание, МестоЗаписи, цель)
ЧАСТЬ_ОПЕРАТОРА(Оператор::Присваивание, Выражение, значение)
ЧАСТЬ_ОПЕРАТОРА(Оператор::Если, Выражение, условие)
ЧАСТЬ_ОПЕРАТОРА(Оператор::Если, Блок, то)
ЧАСТЬ_ОПЕРАТОРА(Оператор::Если, std::optional<Блок>, иначе)
ЧАСТЬ_ОПЕРАТОРА(Оператор::ДляКаждого, std::string, переменная)
ЧАСТЬ_ОПЕРАТОРА(Оператор::ДляКаждого, Выражение, коллекция)
ЧАСТЬ_ОПЕРАТОРА(Оператор::ДляКаждого, Блок, тело)
ЧАСТЬ_ОПЕРАТОРА(Оператор::Пока, Выражение, условие)
ЧАСТЬ_ОПЕРАТОРА(Оператор::Пока, Блок, тело)
#undef ЧАСТЬ_ОПЕРАТОРА

template <bool Неизменная>
Объявление<Неизменная>::Объявление(Тип тип, std::string имя, Выражение значение)
    : части(std::in_place, std::move(тип), std::move(имя), std::move(значение)) {}
inline Оператор::Присваивание::Присваивание(МестоЗаписи цель, Выражение значение)
    : части(std::in_place, std::move(цель), std::move(значение)) {}
inline Оператор::Если::Если(Выражение условие, Блок то, std::optional<Блок> иначе)
    : части(std::in_place, std::move(условие), std::move(то), std::move(иначе)) {}
inline Оператор::ДляКаждого::ДляКаждого(std::string переменная, Выражение коллекция, Блок тело)
    : части(std::in_place, std::move(переменная), std::move(коллекция), std::move(тело)) {}
inline Оператор::Пока::Пока(Выражение условие, Блок тело)
    : части(std::in_place, std::move(условие), std::move(тело)) {}

// 32 bits each, as in the tokens it is taken from.
struct Позиция {
    std::uint32_t строка = 1;
    std::uint32_t столбец = 1;
};

struct Параметр {
    Тип тип;
    std::string имя;
    bool по_ссылке = false;
};

struct ОбобщённыйПараметр {
    std::string имя;
    std::vector<std::string> ограничения;
};

struct ПолеСтруктуры {
    Тип тип;
    std::string имя;
    bool слабое = false;
    std::optional<Видимость> видимость;
};

// A top-level function or a method of a structure.
struct ОбъявлениеФункции {
    std::string имя;
    std::vector<ОбобщённыйПараметр> обобщённые_параметры;
    std::vector<Параметр> параметры;
    std::optional<Тип> тип_возврата;
    Блок тело;
    // Of the `функция` keyword.
    std::optional<Позиция> позиция;
    // Only methods have one, and only when a keyword was written.
    std::optional<Видимость> видимость;
};

struct ОбъявлениеСтруктуры {
    std::string имя;
    std::vector<ОбобщённыйПараметр> обобщённые_параметры;
    std::vector<std::string> контракты;
    std::vector<ПолеСтруктуры> поля;
    std::vector<ОбъявлениеФункции> методы;
    // Of the `структура` keyword.
    std::optional<Позиция> позиция;
};

struct СигнатураМетодаКонтракта {
    std::string имя;
    std::vector<Параметр> параметры;
    std::optional<Тип> тип_возврата;
};

struct ВерхнийУзел {
    // The module: dotted names joined with ".", or a text literal verbatim.
    struct Подключение {
        static constexpr std::string_view название = "Подключение";
        std::string модуль;
    };
    struct Структура {
        static constexpr std::string_view название = "Структура";
        ОбъявлениеСтруктуры объявление;
    };
    struct Функция {
        static constexpr std::string_view название = "Функция";
        ОбъявлениеФункции объявление;
    };
    struct Контракт {
        static constexpr std::string_view название = "Контракт";
        std::string имя;
        std::vector<СигнатураМетодаКонтракта> методы;
    };
    struct ВнешняяФункция {
        static constexpr std::string_view название = "ВнешняяФункция";
        std::string имя;
        std::vector<Параметр> параметры;
        std::optional<Тип> тип_возврата;
        // The library symbol after `как`, and the second one after the comma.
        std::optional<std::string> символ;
        std::optional<std::string> символ_windows;
    };

    using Вид = std::variant<Подключение, Структура, Функция, Контракт, ВнешняяФункция>;
    Вид вид;
};

}  // namespace vokra::ast
