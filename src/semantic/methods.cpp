// Method calls: module-qualified calls, the liveness test of weak fields,
// methods of structures (plain and generic), methods called through a
// contract, and the built-in methods of lists, dictionaries and channels.
#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "semantic/analyser.hpp"
#include "semantic/messages.hpp"
#include "semantic/overload.hpp"

namespace vokra::semantic {

namespace {

using Т = РешённыйТип;
using Вызов = ast::Выражение::ВызовМетода;
namespace с = сообщения;

// The module a call like `модуль.функция(…)` names, or none: the object is a
// bare name that is no variable, names a module, and the module declares the
// function.
const std::string* модуль_вызова(const СемантическийАнализатор& а, const Вызов& вызов) {
    if (а.модули.empty())
        return nullptr;
    const auto* имя = std::get_if<ast::Выражение::Идентификатор>(&вызов.объект().вид);
    if (!имя || а.области.найти(имя->имя))
        return nullptr;
    const auto* функции = а.модули.найти(имя->имя);
    return функции && функции->содержит(вызов.метод()) ? &имя->имя : nullptr;
}

// The field access of `P.G.жива()`, which may be a liveness test: P is typed
// first, then the pair of its structure and G is looked up among the weak
// fields, and P.G is read from P's type when it is none, so that P is typed
// once either way.
const ast::Выражение::ДоступКПолю* поле_перед_живой(const Вызов& вызов) {
    if (вызов.метод() != "жива")
        return nullptr;
    return std::get_if<ast::Выражение::ДоступКПолю>(&вызов.объект().вид);
}

Итог<Т> метод_структуры(СемантическийАнализатор& а, const ИмяТипа& структура, const Вызов& вызов) {
    const std::string& метод = вызов.метод();
    const bool своя = а.текущая_структура == структура;
    // The member is hashed once for both tables.
    const ИскомыйЧлен член(структура, метод);
    // A generic method's instance signature is its own copy. A plain one's
    // parameter types are read in place: a method's signature is entered
    // once, and its list keeps its place as the table grows (typing the
    // arguments may make instances and enter their methods); only the
    // return type is copied.
    СигнатураФункции экземпляра;
    std::span<const Т> параметры;
    std::optional<Т> возврат;
    if (const auto* шаблон = а.обобщённые_методы.найти_запись(член)) {
        if (вызов.типовые_параметры().size() != 1)
            return ошибка(fmt::format(с::обобщённый_метод_типовые_параметры, структура, метод,
                                      вызов.типовые_параметры().size()));
        if (шаблон->second.видимость == ast::Видимость::Приватно && !своя)
            return ошибка(fmt::format(с::метод_приватный, структура, метод, структура));
        auto экземпляр = а.гарантировать_инстанциацию_обобщённого_метода(
            структура, метод, вызов.типовые_параметры()[0]);
        if (!экземпляр)
            return tl::unexpected(std::move(экземпляр.error()));
        экземпляра = std::move(*экземпляр);
        параметры = экземпляра.параметры;
        возврат = std::move(экземпляра.тип_возврата);
    } else {
        const auto* найдена = а.сигнатуры_методов.найти_запись(член);
        if (!найдена)
            return ошибка(fmt::format(с::нет_метода, структура, метод));
        if (найдена->second.видимость == ast::Видимость::Приватно && !своя)
            return ошибка(fmt::format(с::метод_приватный, структура, метод, структура));
        параметры = найдена->second.параметры;
        возврат = найдена->second.тип_возврата;
    }
    if (вызов.аргументы().size() != параметры.size())
        return ошибка(fmt::format(с::метод_число, структура, метод, параметры.size(),
                                  вызов.аргументы().size()));
    for (std::size_t i = 0; i < параметры.size(); ++i) {
        auto тип = а.тип_выражения(вызов.аргументы()[i]);
        if (!тип)
            return тип;
        if (auto итог = проверить_совместимость_с_приведением(
                параметры[i], *тип,
                [&] { return fmt::format(с::имя_через_точку, структура, метод); });
            !итог)
            return tl::unexpected(std::move(итог.error()));
    }
    return возврат ? std::move(*возврат) : неизвестный_тип();
}

Итог<Т> метод_контракта(СемантическийАнализатор& а, const ИмяТипа& контракт, const Вызов& вызов) {
    const auto* найден = а.контракты.найти(контракт);
    if (!найден)
        return ошибка(fmt::format(с::контракт_не_в_реестре, контракт));
    const std::string& метод = вызов.метод();
    // Contracts are all entered before any body is checked, so the
    // signature stays in place while the arguments are typed.
    const auto* сигнатура = найден->найти(метод);
    if (сигнатура == nullptr) {
        std::vector<std::string_view> имена;
        for (const auto& м : *найден)
            имена.push_back(м.имя);
        return ошибка(
            fmt::format(с::у_контракта_нет_метода, контракт, метод, fmt::join(имена, ", ")));
    }
    const auto& параметры = сигнатура->параметры;
    if (вызов.аргументы().size() != параметры.size())
        return ошибка(fmt::format(с::метод_контракта_число, контракт, метод, параметры.size(),
                                  вызов.аргументы().size()));
    const auto& решённая = а.требования_контракта(
        контракт, *найден)[static_cast<std::size_t>(сигнатура - найден->элементы.data())];
    for (std::size_t i = 0; i < параметры.size(); ++i) {
        auto тип = а.тип_выражения(вызов.аргументы()[i]);
        if (!тип)
            return тип;
        // Exact equality: no numeric conversion, and Неизвестен is no wildcard.
        const Т& ожидаемый = решённая.параметры[i];
        if (*тип != ожидаемый)
            return ошибка(fmt::format(с::аргумент_метода_контракта, контракт, метод,
                                      параметры[i].имя, ожидаемый, *тип));
    }
    return решённая.тип_возврата ? *решённая.тип_возврата : неизвестный_тип();
}

// A method that takes no arguments: its result, or the message (whose hole,
// if any, takes the count) when some are given. They are not typed.
Итог<Т> без_аргументов(std::size_t число, fmt::format_string<std::size_t> сообщение, Т результат) {
    if (число != 0)
        return ошибка(fmt::format(сообщение, std::size_t{число}));
    return результат;
}

// The type of the argument of a method that takes exactly one, or the message
// (whose hole takes the count) when there are more or fewer.
Итог<Т> единственный_аргумент(СемантическийАнализатор& а, std::span<const ast::Выражение> аргументы,
                              fmt::format_string<std::size_t> сообщение) {
    if (аргументы.size() != 1)
        return ошибка(fmt::format(сообщение, аргументы.size()));
    return а.тип_выражения(аргументы.front());
}

}  // namespace

Итог<РешённыйТип> СемантическийАнализатор::тип_вызова_метода(const Вызов& вызов) {
    if (const auto* модуль = модуль_вызова(*this, вызов))
        return тип_вызова_из_модуля(*модуль, вызов);
    std::optional<Т> объект;
    if (const auto* доступ = поле_перед_живой(вызов)) {
        auto владелец = тип_выражения(доступ->объект());
        if (!владелец)
            return владелец;
        if (const auto* структура = std::get_if<Т::Структура>(&владелец->вид);
            структура && слабые_поля.содержит({структура->имя, доступ->поле()})) {
            if (!вызов.аргументы().empty())
                return ошибка(
                    fmt::format(с::жива_аргументы, доступ->поле(), вызов.аргументы().size()));
            return Т{Т::Верно{}};
        }
        // The field read from the owner's known type, so P is not typed again:
        // nested calls stay linear.
        auto поле = тип_поля_значения(*владелец, доступ->поле());
        if (!поле)
            return tl::unexpected(std::move(поле.error()));
        объект = **поле;
    }
    if (!объект) {
        auto тип = тип_выражения(вызов.объект());
        if (!тип)
            return тип;
        объект = std::move(*тип);
    }
    const std::string& метод = вызов.метод();
    const auto& аргументы = вызов.аргументы();
    return std::visit(
        Перегрузка{
            [&](const Т::Список& список) {
                return тип_метода_списка(*список.элемент, метод, аргументы);
            },
            [&](const Т::Словарь& словарь) {
                return тип_метода_словаря(*словарь.ключ, *словарь.значение, метод, аргументы);
            },
            [&](const Т::Канал& к) { return тип_метода_канала(*к.элемент, метод, аргументы); },
            [&](const Т::Контракт& к) { return метод_контракта(*this, к.имя, вызов); },
            [&](const Т::Структура& структура) {
                return метод_структуры(*this, структура.имя, вызов);
            },
            [](const Т::Неизвестен&) -> Итог<Т> { return неизвестный_тип(); },
            [&](const auto&) -> Итог<Т> {
                return ошибка(fmt::format(с::метод_не_на_структуре, метод, *объект));
            },
        },
        объект->вид);
}

std::span<const СигнатураФункции> СемантическийАнализатор::требования_контракта(
    const ИмяТипа& контракт, const ТребованияКонтракта& требования) {
    if (const auto* готовые = сигнатуры_контрактов.найти(контракт))
        return *готовые;
    std::vector<СигнатураФункции> сигнатуры;
    сигнатуры.reserve(требования.size());
    for (const auto& требование : требования) {
        auto& сигнатура = сигнатуры.emplace_back();
        for (const auto& параметр : требование.параметры)
            сигнатура.параметры.push_back(преобразовать_тип(параметр.тип));
        if (требование.тип_возврата)
            сигнатура.тип_возврата = преобразовать_тип(*требование.тип_возврата);
    }
    сигнатуры_контрактов.вставить(контракт, std::move(сигнатуры));
    return *сигнатуры_контрактов.найти(контракт);
}

Итог<РешённыйТип> СемантическийАнализатор::тип_метода_списка(
    const РешённыйТип& элемент, const std::string& метод,
    std::span<const ast::Выражение> аргументы) {
    const std::size_t число = аргументы.size();
    if (метод == "размер")
        return без_аргументов(число, с::список_размер_аргументы, Т{Т::Целое{}});
    if (метод == "освободить")
        return без_аргументов(число, с::список_освободить_аргументы, неизвестный_тип());
    // The index argument of `удалить` and `получить`.
    auto индекс = [&](fmt::format_string<std::size_t> о_числе,
                      fmt::format_string<const Т&> о_типе) -> Итог<void> {
        if (число != 1)
            return ошибка(fmt::format(о_числе, std::size_t{число}));
        auto тип = тип_выражения(аргументы.front());
        if (!тип)
            return tl::unexpected(std::move(тип.error()));
        if (тип->целый() || тип->неизвестен())
            return {};
        return ошибка(fmt::format(о_типе, std::as_const(*тип)));
    };
    if (метод == "удалить") {
        if (auto итог = индекс(с::список_удалить_число, с::список_удалить_индекс); !итог)
            return tl::unexpected(std::move(итог.error()));
        return неизвестный_тип();
    }
    if (метод == "получить") {
        if (auto итог = индекс(с::список_получить_число, с::список_получить_индекс); !итог)
            return tl::unexpected(std::move(итог.error()));
        return элемент;
    }
    if (метод == "добавить") {
        auto значение = единственный_аргумент(*this, аргументы, с::список_добавить_число);
        if (!значение)
            return значение;
        const auto* контракт = std::get_if<Т::Контракт>(&элемент.вид);
        const auto* структура = std::get_if<Т::Структура>(&значение->вид);
        if (контракт && структура) {
            if (!реализует_контракт(структура->имя, контракт->имя))
                return ошибка(fmt::format(с::добавить_не_реализует_контракт, структура->имя,
                                          контракт->имя, структура->имя, контракт->имя));
        } else if (auto итог = проверить_совместимость_типов(
                       элемент, *значение, [] { return fmt::format(с::контекст_добавить); });
                   !итог)
            return tl::unexpected(std::move(итог.error()));
        return неизвестный_тип();
    }
    return ошибка(fmt::format(с::нет_метода_списка, метод));
}

Итог<РешённыйТип> СемантическийАнализатор::тип_метода_словаря(
    const РешённыйТип& ключ, const РешённыйТип& значение, const std::string& метод,
    std::span<const ast::Выражение> аргументы) {
    const std::size_t число = аргументы.size();
    // Checks argument `номер` against the expected type; the place is worded
    // only for a mismatch.
    auto проверить = [&](std::size_t номер, const Т& ожидаемый,
                         fmt::format_string<> место) -> Итог<void> {
        auto тип = тип_выражения(аргументы[номер]);
        if (!тип)
            return tl::unexpected(std::move(тип.error()));
        return проверить_совместимость_типов(ожидаемый, *тип, [&] { return fmt::format(место); });
    };
    if (метод == "размер")
        return без_аргументов(число, с::словарь_размер_аргументы, Т{Т::Целое{}});
    if (метод == "освободить")
        return без_аргументов(число, с::словарь_освободить_аргументы, неизвестный_тип());
    if (метод == "получить") {
        if (число != 1)
            return ошибка(fmt::format(с::словарь_получить_число, число));
        if (auto итог = проверить(0, ключ, с::контекст_получить_ключ); !итог)
            return tl::unexpected(std::move(итог.error()));
        return тип_результата(значение);
    }
    if (метод == "положить") {
        if (число != 2)
            return ошибка(fmt::format(с::словарь_положить_число, число));
        if (auto итог = проверить(0, ключ, с::контекст_положить_ключ); !итог)
            return tl::unexpected(std::move(итог.error()));
        if (auto итог = проверить(1, значение, с::контекст_положить_значение); !итог)
            return tl::unexpected(std::move(итог.error()));
        return неизвестный_тип();
    }
    if (метод == "ключ_по_индексу" || метод == "значение_по_индексу") {
        if (число != 1)
            return ошибка(fmt::format(с::словарь_по_индексу_число, метод, число));
        if (auto итог = проверить(0, Т{Т::Целое{}}, с::контекст_индекс_словаря); !итог)
            return tl::unexpected(std::move(итог.error()));
        return метод == "ключ_по_индексу" ? ключ : значение;
    }
    return ошибка(fmt::format(с::нет_метода_словаря, метод));
}

Итог<РешённыйТип> СемантическийАнализатор::тип_метода_канала(
    const РешённыйТип& элемент, const std::string& метод,
    std::span<const ast::Выражение> аргументы) {
    const std::size_t число = аргументы.size();
    if (метод == "отправить") {
        auto значение = единственный_аргумент(*this, аргументы, с::канал_отправить_число);
        if (!значение)
            return значение;
        if (auto итог = проверить_совместимость_типов(
                элемент, *значение, [] { return fmt::format(с::контекст_отправить); });
            !итог)
            return tl::unexpected(std::move(итог.error()));
        return неизвестный_тип();
    }
    if (метод == "получить")
        return без_аргументов(число, с::канал_получить_аргументы, элемент);
    if (метод == "освободить")
        return без_аргументов(число, с::канал_освободить_аргументы, неизвестный_тип());
    return ошибка(fmt::format(с::нет_метода_канала, метод));
}

}  // namespace vokra::semantic
