// The types the analyser computes for expressions, variables, parameters,
// fields and return values, with their printed form (the form of every type
// in a message), the conversion from written types, the mangled names of
// generic instances and the two compatibility checks.
#pragma once

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "ast/ast.hpp"
#include "semantic/error.hpp"

namespace vokra::semantic {

// The name of a kind without payload, as a template argument.
template <std::size_t N>
struct ИмяВида {
    char буквы[N];
    constexpr ИмяВида(const char (&имя)[N]) { std::copy_n(имя, N, буквы); }
};

// A kind without payload: all its values are equal.
template <ИмяВида Имя>
struct ВидБезДанных {
    static constexpr std::string_view название{Имя.буквы, sizeof(Имя.буквы) - 1};
    bool operator==(const ВидБезДанных&) const = default;
};

struct РешённыйТип;
struct УзелТипа;
struct УзелИмени;

// The name of a structure or a contract inside a type, and the key of the
// tables that describe them: one shared text per distinct name, with its
// hash, so a type's use copies, compares and hashes the name in constant
// time, however long it is written. Made from a text, it finds the shared
// one (a cost of the text's length), so the names of a declaration are
// made once for all its members.
struct ИмяТипа {
    ИмяТипа(std::string_view имя);
    ИмяТипа(const std::string& имя) : ИмяТипа(std::string_view(имя)) {}
    ИмяТипа(const char* имя) : ИмяТипа(std::string_view(имя)) {}

    const std::string& текст() const;
    // Equal names are the same text.
    bool operator==(const ИмяТипа&) const = default;
    std::size_t хеш() const;

    std::shared_ptr<const УзелИмени> узел;
};

// A type held inside another: an element, a key, a value, an inner type.
// Equal types are one node, shared by every type that holds one, and every
// type is built of such nodes alone; so copying a type, comparing two and
// hashing one cost their outermost level, however large the types are. A
// node never changes once made.
struct ОбщийТип {
    // The node equal to `тип`, made when there is none yet: of a copy of
    // it, or of the type itself when it is given up.
    ОбщийТип(const РешённыйТип& тип);
    ОбщийТип(РешённыйТип&& тип);
    // A node found already.
    explicit ОбщийТип(std::shared_ptr<const УзелТипа> узел_типа) : узел(std::move(узел_типа)) {}
    ОбщийТип(const ОбщийТип&) = default;
    ОбщийТип(ОбщийТип&&) noexcept = default;
    // The node held before is let go of as a copy of this one is destroyed.
    ОбщийТип& operator=(ОбщийТип другой) noexcept {
        узел.swap(другой.узел);
        return *this;
    }
    ~ОбщийТип();

    const РешённыйТип& operator*() const;
    const РешённыйТип* operator->() const;
    // Equal types are the same node.
    bool operator==(const ОбщийТип&) const = default;
    std::size_t хеш() const;

    std::shared_ptr<const УзелТипа> узел;
};

// The node of `Массив { элемент, размер }` wrapped around `элемент` as many
// times as `уровней`, each level found by the node below and the size alone:
// a nest of array literals builds one per level.
ОбщийТип общий_массив(ОбщийТип элемент, std::uint64_t размер, std::size_t уровней = 1);

struct РешённыйТип {
    using Целое = ВидБезДанных<"Целое">;
    using Целое8 = ВидБезДанных<"Целое8">;
    using Целое16 = ВидБезДанных<"Целое16">;
    using Целое32 = ВидБезДанных<"Целое32">;
    using Целое64 = ВидБезДанных<"Целое64">;
    using Беззнак8 = ВидБезДанных<"Беззнак8">;
    using Беззнак16 = ВидБезДанных<"Беззнак16">;
    using Беззнак32 = ВидБезДанных<"Беззнак32">;
    using Беззнак64 = ВидБезДанных<"Беззнак64">;
    using Дробное = ВидБезДанных<"Дробное">;
    using Дробное32 = ВидБезДанных<"Дробное32">;
    using Дробное64 = ВидБезДанных<"Дробное64">;
    using Текст = ВидБезДанных<"Текст">;
    // The truth type.
    using Верно = ВидБезДанных<"Верно">;
    // For an instance of a generic structure the name is its mangled name.
    struct Структура {
        static constexpr std::string_view название = "Структура";
        ИмяТипа имя;
        bool operator==(const Структура&) const = default;
    };
    struct Массив {
        static constexpr std::string_view название = "Массив";
        ОбщийТип элемент;
        std::uint64_t размер = 0;
        bool operator==(const Массив&) const = default;
    };
    struct Результат {
        static constexpr std::string_view название = "Результат";
        ОбщийТип тип;
        bool operator==(const Результат&) const = default;
    };
    struct Список {
        static constexpr std::string_view название = "Список";
        ОбщийТип элемент;
        bool operator==(const Список&) const = default;
    };
    struct Словарь {
        static constexpr std::string_view название = "Словарь";
        ОбщийТип ключ;
        ОбщийТип значение;
        bool operator==(const Словарь&) const = default;
    };
    struct Канал {
        static constexpr std::string_view название = "Канал";
        ОбщийТип элемент;
        bool operator==(const Канал&) const = default;
    };
    struct Контракт {
        static constexpr std::string_view название = "Контракт";
        ИмяТипа имя;
        bool operator==(const Контракт&) const = default;
    };
    struct Опциональный {
        static constexpr std::string_view название = "Опциональный";
        ОбщийТип тип;
        bool operator==(const Опциональный&) const = default;
    };
    // A value without a usable type.
    using Неизвестен = ВидБезДанных<"Неизвестен">;

    // The order is the kind number, 0 to 22; the kind classes below rely on it.
    using Вид =
        std::variant<Целое, Целое8, Целое16, Целое32, Целое64, Беззнак8, Беззнак16, Беззнак32,
                     Беззнак64, Дробное, Дробное32, Дробное64, Текст, Верно, Структура, Массив,
                     Результат, Список, Словарь, Канал, Контракт, Опциональный, Неизвестен>;
    Вид вид;

    bool operator==(const РешённыйТип&) const = default;

    // Kinds 0 to 8.
    bool целый() const { return вид.index() <= 8; }
    // Kinds 0 to 11.
    bool числовой() const { return вид.index() <= 11; }
    bool неизвестен() const { return std::holds_alternative<Неизвестен>(вид); }
    template <class К>
    bool есть() const {
        return std::holds_alternative<К>(вид);
    }
};

// A shared node: the type and its hash, found again by both. It leaves the
// table of nodes when the last type that holds it is gone.
struct УзелТипа {
    УзелТипа(РешённыйТип тип_узла, std::size_t хеш_узла)
        : тип(std::move(тип_узла)), хеш(хеш_узла) {}
    ~УзелТипа();

    РешённыйТип тип;
    std::size_t хеш = 0;
};

// The nodes one check makes, kept by the check in a small table of its own,
// found by hash, while it stands on the check's thread. A type built again
// finds its node there without the shared table's lock or an allocation: a
// statement that builds the types the one before it built (every level of a
// nested array literal, say) makes none of them anew, and none is freed at
// its end to be made again. It keeps the last two nodes made in each of its
// sets, no more, and lets go of them as it ends. Its places are made in
// small pieces as they are first needed, so a small text's check makes few,
// and no block of it is large enough to make the C library sort its free
// blocks at once.
struct НедавниеУзлы {
    НедавниеУзлы();
    ~НедавниеУзлы();
    НедавниеУзлы(const НедавниеУзлы&) = delete;
    НедавниеУзлы& operator=(const НедавниеУзлы&) = delete;

    static constexpr std::size_t наборов = 4096;
    static constexpr std::size_t мест_в_куске = 32;
    // Two places per set, the node made last first.
    using Кусок = std::array<std::shared_ptr<const УзелТипа>, мест_в_куске>;
    std::array<std::unique_ptr<Кусок>, 2 * наборов / мест_в_куске> куски;
    // The table that stood on the thread before this one.
    НедавниеУзлы* прежние = nullptr;
};

inline const РешённыйТип& ОбщийТип::operator*() const {
    return узел->тип;
}
inline const РешённыйТип* ОбщийТип::operator->() const {
    return &узел->тип;
}
inline std::size_t ОбщийТип::хеш() const {
    return узел->хеш;
}

// A shared name: the text and its hash under the process's key.
struct УзелИмени {
    УзелИмени(std::string текст_узла, std::size_t хеш_узла)
        : текст(std::move(текст_узла)), хеш(хеш_узла) {}
    ~УзелИмени();

    std::string текст;
    std::size_t хеш = 0;
};

inline const std::string& ИмяТипа::текст() const {
    return узел->текст;
}
inline std::size_t ИмяТипа::хеш() const {
    return узел->хеш;
}

// Shorthands for building types.
inline РешённыйТип неизвестный_тип() {
    return {РешённыйТип::Неизвестен{}};
}
inline РешённыйТип тип_структуры(ИмяТипа имя) {
    return {РешённыйТип::Структура{std::move(имя)}};
}
inline РешённыйТип тип_результата(РешённыйТип значение) {
    return {РешённыйТип::Результат{std::move(значение)}};
}
inline РешённыйТип тип_списка(РешённыйТип элемент) {
    return {РешённыйТип::Список{std::move(элемент)}};
}

// The printed form: `Целое`, `Структура("Точка")`, `Список(Целое)`,
// `Словарь(Текст, Целое)`, `Массив { элемент: Целое, размер: 3 }`. Names are
// quoted with escapes, as in the syntax tree's printed form, since mangled
// names may themselves hold double quotes.
std::string в_тексте(const РешённыйТип& тип);
// The length of the printed form, or none when it is longer than `предел`
// bytes (printing stops soon after).
std::optional<std::size_t> длина_в_тексте(const РешённыйТип& тип, std::size_t предел);
// "[Целое, Дробное]". A list longer than предел_печати_списка bytes stops
// soon past it, without its "]": a message quotes no more of it, and a
// contract's method may take many parameters of deep types.
inline constexpr std::size_t предел_печати_списка = 64 * 1024;
std::string в_тексте(const std::vector<РешённыйТип>& типы);
// "Some(Целое)" or "None".
std::string в_тексте(const std::optional<РешённыйТип>& тип);

// Whether a written generic type is the built-in list, `Список<Т>`, or the
// built-in dictionary, `Словарь<К, З>`. The length is compared first: most
// generic names are told apart by it without comparing their letters.
inline bool встроенный_список(const ast::Тип::Обобщённый& тип) {
    return тип.параметры().size() == 1 && std::string_view{тип.имя()} == std::string_view{"Список"};
}
inline bool встроенный_словарь(const ast::Тип::Обобщённый& тип) {
    return тип.параметры().size() == 2 &&
           std::string_view{тип.имя()} == std::string_view{"Словарь"};
}
// Whether a written generic type is an instance of a generic structure,
// named by its mangled name: it has arguments and is no built-in list or
// dictionary.
bool имя_экземпляра(const ast::Тип::Обобщённый& тип);
// The plain conversion of a written type. No table is consulted: a contract
// name becomes a structure type here.
РешённыйТип преобразовать_тип(const ast::Тип& тип);
// The same for a caller that bounds the types it builds: fails with the
// name of the first generic whose mangled name would be longer than
// `предел` bytes, having built no more of it than that.
tl::expected<РешённыйТип, std::string> преобразовать_тип_в_пределе(const ast::Тип& тип,
                                                                   std::size_t предел);
// The generic the bounded conversion of `тип` would fail with, or none when
// every mangled name fits; the names are measured, not written, so only the
// parts of arguments that are no instance are built.
std::optional<std::string> превышает_предел_имени(const ast::Тип& тип, std::size_t предел);

// The type part of a mangled name: the lower-case word of a scalar kind, the
// name of a structure, the printed form of everything else.
std::string манглированное_имя_типа(const РешённыйТип& тип);
// "имя__часть".
std::string манглированное_имя(std::string_view имя, const РешённыйТип& тип);
// "имя__часть1_часть2"; an empty list gives "имя__".
std::string манглированное_имя_многих(std::string_view имя, const std::vector<РешённыйТип>& типы);

// The numeric kind named by a cast ("целое" … "дробное64"), exactly as written.
std::optional<РешённыйТип> имя_числового_типа_в_решённый_тип(std::string_view имя);

// Success when the actual type is Неизвестен or equals the expected one.
Итог<void> проверить_совместимость_типов(const РешённыйТип& ожидаемый,
                                         const РешённыйТип& фактический, std::string_view контекст);
// The same, also accepting any numeric type for any numeric type.
Итог<void> проверить_совместимость_с_приведением(const РешённыйТип& ожидаемый,
                                                 const РешённыйТип& фактический,
                                                 std::string_view контекст);

// Whether the checks above succeed.
bool совместимы(const РешённыйТип& ожидаемый, const РешённыйТип& фактический);
bool совместимы_с_приведением(const РешённыйТип& ожидаемый, const РешённыйТип& фактический);

// The same checks for a context that costs building (one that quotes a
// long name, say, at every argument of every call): it is made only for
// the message.
template <std::invocable Контекст>
Итог<void> проверить_совместимость_типов(const РешённыйТип& ожидаемый,
                                         const РешённыйТип& фактический, Контекст&& контекст) {
    if (совместимы(ожидаемый, фактический))
        return {};
    return проверить_совместимость_типов(ожидаемый, фактический, std::string_view(контекст()));
}
template <std::invocable Контекст>
Итог<void> проверить_совместимость_с_приведением(const РешённыйТип& ожидаемый,
                                                 const РешённыйТип& фактический,
                                                 Контекст&& контекст) {
    if (совместимы_с_приведением(ожидаемый, фактический))
        return {};
    return проверить_совместимость_с_приведением(ожидаемый, фактический,
                                                 std::string_view(контекст()));
}

// Structural: the kind first, then the payload in field order; every part
// is hashed under the process's key, so no text can choose types that fall
// together.
std::size_t хеш_типа(const РешённыйТип& тип);

}  // namespace vokra::semantic

template <>
struct std::hash<vokra::semantic::РешённыйТип> {
    std::size_t operator()(const vokra::semantic::РешённыйТип& тип) const noexcept;
};

template <>
struct std::hash<vokra::semantic::ИмяТипа> {
    std::size_t operator()(const vokra::semantic::ИмяТипа& имя) const noexcept { return имя.хеш(); }
};

// Names format as their text.
template <>
struct fmt::formatter<vokra::semantic::ИмяТипа> : fmt::formatter<std::string_view> {
    template <class Контекст>
    auto format(const vokra::semantic::ИмяТипа& имя, Контекст& контекст) const {
        return fmt::formatter<std::string_view>::format(имя.текст(), контекст);
    }
};

// Types format as their printed form inside messages.
template <>
struct fmt::formatter<vokra::semantic::РешённыйТип> : fmt::formatter<std::string_view> {
    template <class Контекст>
    auto format(const vokra::semantic::РешённыйТип& тип, Контекст& контекст) const {
        return fmt::formatter<std::string_view>::format(vokra::semantic::в_тексте(тип), контекст);
    }
};
