// Calls by name: built-ins, the list and dictionary constructors, generic
// constructors and functions, casts, structure constructors, the program's
// own functions and those imported from modules; and module-qualified calls.
#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "semantic/analyser.hpp"
#include "semantic/builtins.hpp"
#include "semantic/messages.hpp"
#include "semantic/suggestions.hpp"

namespace vokra::semantic {

namespace {

using Т = РешённыйТип;
using Вызов = ast::Выражение::ВызовФункции;
namespace с = сообщения;

// The argument types of one call, on the analyser's stack of them, each
// typed once, left to right, and taken off as the call's typing ends: no
// call makes a list of its own. The calls inside an argument stand above
// it and are gone before the next argument is typed, so the types stay in
// place until the call types anything more; a call that does (an instance
// it makes is checked) copies them first.
struct АргументыВызова {
    std::vector<Т>& стек;
    std::size_t начало;

    explicit АргументыВызова(СемантическийАнализатор& а)
        : стек(а.стек_типов_аргументов), начало(стек.size()) {}
    АргументыВызова(const АргументыВызова&) = delete;
    АргументыВызова& operator=(const АргументыВызова&) = delete;
    ~АргументыВызова() {
        стек.erase(стек.begin() + static_cast<std::ptrdiff_t>(начало), стек.end());
    }

    // The first error wins.
    Итог<void> типизировать(СемантическийАнализатор& а, std::span<const ast::Выражение> аргументы) {
        for (const auto& аргумент : аргументы) {
            auto тип = а.тип_выражения(аргумент);
            if (!тип)
                return tl::unexpected(std::move(тип.error()));
            стек.push_back(std::move(*тип));
        }
        return {};
    }
    std::span<const Т> типы() const { return std::span<const Т>(стек).subspan(начало); }
};

Т результат_или_неизвестен(const std::optional<Т>& тип) {
    return тип ? *тип : неизвестный_тип();
}

Итог<Т> конструктор_списка(СемантическийАнализатор& а, const Вызов& вызов) {
    if (вызов.типовые_параметры().size() != 1)
        return ошибка(fmt::format(с::список_типовые_параметры));
    if (!вызов.аргументы().empty())
        return ошибка(fmt::format(с::список_аргументы));
    Т элемент = а.разрешить_тип_параметра(вызов.типовые_параметры()[0]);
    а.типы_списков.добавить(элемент);
    return тип_списка(std::move(элемент));
}

Итог<Т> конструктор_словаря(СемантическийАнализатор& а, const Вызов& вызов) {
    if (вызов.типовые_параметры().size() != 2)
        return ошибка(fmt::format(с::словарь_типовые_параметры));
    if (!вызов.аргументы().empty())
        return ошибка(fmt::format(с::словарь_аргументы));
    Т ключ = преобразовать_тип(вызов.типовые_параметры()[0]);
    if (!ключ.целый() && !ключ.есть<Т::Текст>())
        return ошибка(fmt::format(с::словарь_ключ, ключ));
    Т значение = преобразовать_тип(вызов.типовые_параметры()[1]);
    а.типы_словарей.добавить({ключ, значение});
    return Т{Т::Словарь{std::move(ключ), std::move(значение)}};
}

// Each argument against the field of the same place, "Структура.поле".
Итог<void> проверить_поля(const std::string& структура, const std::vector<ПолеТипа>& поля,
                          std::span<const Т> типы) {
    for (std::size_t i = 0; i < поля.size(); ++i)
        if (auto итог = проверить_совместимость_с_приведением(
                поля[i].тип, типы[i],
                [&] { return fmt::format(с::имя_через_точку, структура, поля[i].имя); });
            !итог)
            return итог;
    return {};
}

Итог<Т> обобщённый_конструктор(СемантическийАнализатор& а, const Вызов& вызов,
                               std::span<const Т> аргументы) {
    // Making the instance checks its methods' bodies.
    const std::vector<Т> типы(аргументы.begin(), аргументы.end());
    auto структура =
        а.гарантировать_инстанциацию_обобщённой_структуры(вызов.имя(), вызов.типовые_параметры());
    if (!структура)
        return структура;
    // The instance's fields as its build entered them; nothing is typed
    // below, so the table stays as it is.
    static const std::vector<ПолеТипа> без_полей;
    const std::vector<ПолеТипа>* найдены = &без_полей;
    if (const auto* и = std::get_if<Т::Структура>(&структура->вид))
        if (const auto* есть = а.поля_структур.найти(и->имя))
            найдены = &есть->элементы;
    const auto& поля = *найдены;
    if (типы.size() != поля.size())
        return ошибка(
            fmt::format(с::обобщённый_конструктор_число, вызов.имя(), поля.size(), типы.size()));
    if (auto итог = проверить_поля(вызов.имя(), поля, типы); !итог)
        return tl::unexpected(std::move(итог.error()));
    return структура;
}

Итог<Т> обобщённый_вызов(СемантическийАнализатор& а, const Вызов& вызов,
                         std::span<const Т> аргументы) {
    // Making the instance checks its body.
    const std::vector<Т> типы(аргументы.begin(), аргументы.end());
    const std::string& имя = вызов.имя();
    if (вызов.типовые_параметры().size() != 1)
        return ошибка(fmt::format(с::обобщённая_функция_типовые_параметры, имя, имя));
    const ast::Тип& аргумент = вызов.типовые_параметры()[0];
    auto возврат = а.гарантировать_инстанциацию_обобщённой_функции(имя, аргумент);
    if (!возврат)
        return tl::unexpected(std::move(возврат.error()));
    const std::string экземпляр = манглированное_имя(имя, преобразовать_тип(аргумент));
    const auto* объявление = а.инстанцированные_функции.найти(экземпляр);
    const auto* сигнатура = а.сигнатуры_экземпляров_функций.найти(экземпляр);
    if (!объявление || !сигнатура)
        return ошибка(fmt::format(с::инстанциация_потеряна, экземпляр));
    const auto& параметры = объявление->параметры;
    if (типы.size() != параметры.size())
        return ошибка(fmt::format(с::обобщённая_функция_число, имя, параметры.size(), типы.size()));
    for (std::size_t i = 0; i < параметры.size(); ++i)
        if (auto итог = проверить_совместимость_с_приведением(
                сигнатура->параметры[i], типы[i],
                [&] { return fmt::format(с::параметр_обобщённой_функции, имя, параметры[i].имя); });
            !итог)
            return tl::unexpected(std::move(итог.error()));
    return результат_или_неизвестен(*возврат);
}

Итог<Т> приведение(const std::string& имя, Т вид, const Т& аргумент) {
    if (!аргумент.числовой() && !аргумент.неизвестен())
        return ошибка(fmt::format(с::приведение_не_число, имя, аргумент));
    return вид;
}

// `структура` is the name as its table keeps it, so the result shares it.
Итог<Т> конструктор(const std::string& имя, const ИмяТипа& структура,
                    const std::vector<ПолеТипа>& поля, std::span<const Т> типы) {
    if (типы.size() != поля.size())
        return ошибка(fmt::format(с::конструктор_число, имя, поля.size(), типы.size()));
    if (auto итог = проверить_поля(имя, поля, типы); !итог)
        return tl::unexpected(std::move(итог.error()));
    return тип_структуры(структура);
}

// Which of the three callers an argument belongs to: names the place in the
// mismatch message and words the contract message.
enum class ВидВызова { Свой, Импортированный, ИзМодуля };

struct Вызываемая {
    ВидВызова вид;
    const std::string* модуль;  // only for ИзМодуля
    const std::string& имя;
};

// The contract rule and the compatibility check for argument `номер` (from 1).
Итог<void> проверить_аргумент(const СемантическийАнализатор& а, const Вызываемая& ф,
                              std::size_t номер, const Т& параметр, const Т& аргумент) {
    const auto* контракт = std::get_if<Т::Контракт>(&параметр.вид);
    const auto* структура = std::get_if<Т::Структура>(&аргумент.вид);
    if (контракт && структура) {
        if (а.реализует_контракт(структура->имя, контракт->имя))
            return {};
        const ИмяТипа& S = структура->имя;
        const ИмяТипа& C = контракт->имя;
        switch (ф.вид) {
            case ВидВызова::Свой:
                return ошибка(
                    fmt::format(с::аргумент_не_реализует_контракт, ф.имя, номер, S, C, S, C));
            case ВидВызова::Импортированный:
                return ошибка(
                    fmt::format(с::аргумент_не_реализует_контракт_кратко, ф.имя, номер, S, C));
            case ВидВызова::ИзМодуля:
                return ошибка(fmt::format(с::аргумент_функции_модуля_не_реализует_контракт,
                                          *ф.модуль, ф.имя, номер, S, C));
        }
    }
    return проверить_совместимость_с_приведением(параметр, аргумент, [&] {
        return ф.вид == ВидВызова::ИзМодуля
                   ? fmt::format(с::аргумент_функции_модуля, *ф.модуль, ф.имя, номер)
                   : fmt::format(с::аргумент_функции, ф.имя, номер);
    });
}

Итог<void> проверить_аргументы(const СемантическийАнализатор& а, const Вызываемая& ф,
                               const std::vector<Т>& параметры, std::span<const Т> типы) {
    for (std::size_t i = 0; i < параметры.size(); ++i)
        if (auto итог = проверить_аргумент(а, ф, i + 1, параметры[i], типы[i]); !итог)
            return итог;
    return {};
}

// A function of the program or one imported by its bare name.
Итог<Т> вызов_объявленной(const СемантическийАнализатор& а, const Вызываемая& ф,
                          const СигнатураФункции& сигнатура, std::span<const Т> типы) {
    if (типы.size() != сигнатура.параметры.size())
        return ошибка(
            fmt::format(с::функция_число, ф.имя, сигнатура.параметры.size(), типы.size()));
    if (auto итог = проверить_аргументы(а, ф, сигнатура.параметры, типы); !итог)
        return tl::unexpected(std::move(итог.error()));
    return результат_или_неизвестен(сигнатура.тип_возврата);
}

std::string неоднозначность(const std::string& имя, const std::vector<std::string>& модули) {
    std::vector<std::string> вызовы;
    for (const auto& модуль : модули)
        вызовы.push_back(fmt::format(с::квалифицированный_вызов, модуль, имя));
    return fmt::format(с::имя_неоднозначно, имя, fmt::join(модули, ", "),
                       fmt::join(вызовы, " или "));
}

// Declared functions first, in the order of their table, then the built-ins.
std::string подсказка_функции(const СемантическийАнализатор& а, const std::string& имя) {
    std::vector<std::string> кандидаты;
    for (const auto& [функция, сигнатура] : а.сигнатуры_функций)
        кандидаты.push_back(функция);
    for (std::size_t i = 0; i < число_подсказываемых_встроенных; ++i)
        кандидаты.emplace_back(имена_встроенных_функций[i]);
    return подсказка_похожего_имени(имя, кандидаты);
}

}  // namespace

Итог<РешённыйТип> СемантическийАнализатор::тип_вызова_функции(const Вызов& вызов) {
    АргументыВызова аргументы(*this);
    if (auto типизированы = аргументы.типизировать(*this, вызов.аргументы()); !типизированы)
        return tl::unexpected(std::move(типизированы.error()));
    const auto типы = аргументы.типы();
    const std::string& имя = вызов.имя();
    // The name is hashed once for every table it is sought in.
    const ИскомоеИмя искомое(имя);
    if (const auto* встроенная = найти_встроенную_функцию(искомое))
        return тип_встроенной_функции(*встроенная, типы);
    if (имя == "Список")
        return конструктор_списка(*this, вызов);
    if (имя == "Словарь")
        return конструктор_словаря(*this, вызов);
    if (обобщённые_структуры.найти_запись(искомое))
        return обобщённый_конструктор(*this, вызов, типы);
    if (обобщённые_функции.найти_запись(искомое))
        return обобщённый_вызов(*this, вызов, типы);
    if (типы.size() == 1)
        if (auto вид = имя_числового_типа_в_решённый_тип(имя))
            return приведение(имя, std::move(*вид), типы.front());
    if (const auto* поля = поля_структур.найти_запись(искомое))
        return конструктор(имя, поля->first, поля->second.элементы, типы);
    if (const auto* сигнатура = сигнатуры_функций.найти_запись(искомое))
        return вызов_объявленной(*this, {ВидВызова::Свой, nullptr, имя}, сигнатура->second, типы);
    if (const auto* модуль = единственный_модуль_функции.найти_запись(искомое)) {
        const auto* сигнатура = сигнатуры_функций_модулей.найти({модуль->second, имя});
        if (!сигнатура)
            return ошибка(fmt::format(с::функция_потеряна, имя));
        return вызов_объявленной(*this, {ВидВызова::Импортированный, nullptr, имя}, *сигнатура,
                                 типы);
    }
    if (const auto* модули = модули_функции.найти_запись(искомое);
        модули && модули->second.size() > 1)
        return ошибка(неоднозначность(имя, модули->second));
    return ошибка(fmt::format(с::функция_не_объявлена, имя, подсказка_функции(*this, имя)));
}

bool СемантическийАнализатор::реализует_контракт(const ИмяТипа& структура,
                                                 const ИмяТипа& контракт) const {
    return заявленные_контракты.содержит({структура, контракт});
}

Итог<РешённыйТип> СемантическийАнализатор::тип_вызова_из_модуля(
    const std::string& модуль, const ast::Выражение::ВызовМетода& вызов) {
    const std::string& имя = вызов.метод();
    const auto* найдена = сигнатуры_функций_модулей.найти({модуль, имя});
    if (!найдена)
        return ошибка(fmt::format(с::функция_модуля_не_найдена, модуль, имя));
    // A copy: typing the arguments may make instances and grow the tables.
    const СигнатураФункции сигнатура = *найдена;
    if (вызов.аргументы().size() != сигнатура.параметры.size())
        return ошибка(fmt::format(с::функция_модуля_число, модуль, имя, сигнатура.параметры.size(),
                                  вызов.аргументы().size()));
    // Each argument is typed and checked before the next is typed.
    const Вызываемая ф{ВидВызова::ИзМодуля, &модуль, имя};
    for (std::size_t i = 0; i < вызов.аргументы().size(); ++i) {
        auto тип = тип_выражения(вызов.аргументы()[i]);
        if (!тип)
            return тип;
        if (auto итог = проверить_аргумент(*this, ф, i + 1, сигнатура.параметры[i], *тип); !итог)
            return tl::unexpected(std::move(итог.error()));
    }
    return результат_или_неизвестен(сигнатура.тип_возврата);
}

}  // namespace vokra::semantic
