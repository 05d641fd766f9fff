// Versions X.Y.Z, the version texts of a dependency line and half-open
// intervals of versions.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vokra::пакеты {

struct Версия {
    std::uint64_t старшая = 0;
    std::uint64_t младшая = 0;
    std::uint64_t исправление = 0;

    auto operator<=>(const Версия&) const = default;
};

// From `от` (inclusive) up to `до` (exclusive); no `до` means unbounded.
struct ИнтервалВерсий {
    Версия от;
    std::optional<Версия> до;

    bool operator==(const ИнтервалВерсий&) const = default;
};

enum class ВидВерсии { нет, точная, каретка, тильда };

struct ТребованиеВерсии {
    ВидВерсии вид = ВидВерсии::нет;
    ИнтервалВерсий интервал;  // meaningful unless the kind is `нет`
};

// Reads "X.Y.Z" with an optional leading 'v'; whatever follows the first '-'
// or '+' is dropped. Each part is one or more ASCII digits fitting 64 bits.
std::optional<Версия> разобрать_семвер(std::string_view текст);

// The kind and interval of a `версия=` value: "^X.Y.Z", "~X.Y.Z", or an exact
// "X.Y.Z" that only that version satisfies.
ТребованиеВерсии требование_версии(std::string_view текст);

bool содержит(const ИнтервалВерсий& интервал, const Версия& версия);

// May be empty; see `пуст`.
ИнтервалВерсий пересечь(const ИнтервалВерсий& а, const ИнтервалВерсий& б);

bool пуст(const ИнтервалВерсий& интервал);

// ">=X.Y.Z, <X.Y.Z", or ">=X.Y.Z" without an upper bound.
std::string текст_интервала(const ИнтервалВерсий& интервал);

}  // namespace vokra::пакеты
