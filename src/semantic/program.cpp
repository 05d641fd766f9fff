// The whole-program check: every contract, function, external function,
// structure and method is registered first, pass by pass, then every
// structure and function that is not generic is checked, bodies included.
#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <variant>

#include "ast/stack.hpp"
#include "semantic/analyser.hpp"
#include "semantic/builtins.hpp"
#include "semantic/limits.hpp"
#include "semantic/messages.hpp"

namespace vokra::semantic {

namespace {

using Т = РешённыйТип;

// Functions may not take the names of the built-in functions.
bool зарезервировано(std::string_view имя) {
    return std::ranges::find(имена_встроенных_функций, имя) != имена_встроенных_функций.end();
}

template <class Вид>
const Вид* узел_вида(const ast::ВерхнийУзел& узел) {
    return std::get_if<Вид>(&узел.вид);
}

std::vector<Т> типы_параметров(const std::vector<ast::Параметр>& параметры, auto&& преобразовать) {
    std::vector<Т> типы;
    типы.reserve(параметры.size());
    for (const auto& параметр : параметры)
        типы.push_back(преобразовать(параметр.тип));
    return типы;
}

std::optional<Т> тип_возврата(const std::optional<ast::Тип>& тип, auto&& преобразовать) {
    if (!тип)
        return std::nullopt;
    return преобразовать(*тип);
}

// The plain conversion, which keeps a contract name a structure type.
Т как_написано(const ast::Тип& тип) {
    return преобразовать_тип(тип);
}

struct Проверка {
    СемантическийАнализатор& а;
    const std::vector<ast::ВерхнийУзел>& узлы;
    const std::vector<std::optional<std::string>>& модуль_узла;
    // The same nodes, when the caller gives their bodies up: the template
    // tables take generic bodies over, and the last pass frees every other
    // body once it has checked it.
    std::vector<ast::ВерхнийУзел>* освобождаемые = nullptr;
    // The nodes of each top-level node, counted with the program's.
    std::vector<std::size_t> узлов_узла = {};

    // A contract's requirements are kept as written. When the caller gives
    // the bodies up, the table takes them over from the tree: nothing reads
    // a contract in the tree again.
    Итог<void> контракты() {
        for (std::size_t i = 0; i < узлы.size(); ++i) {
            const auto* контракт = узел_вида<ast::ВерхнийУзел::Контракт>(узлы[i]);
            if (контракт == nullptr)
                continue;
            if (а.контракты.содержит(контракт->имя))
                return ошибка(fmt::format(сообщения::контракт_повторно, контракт->имя));
            if (освобождаемые == nullptr)
                а.контракты.вставить(контракт->имя, контракт->методы);
            else
                а.контракты.вставить(
                    контракт->имя,
                    std::move(
                        std::get<ast::ВерхнийУзел::Контракт>((*освобождаемые)[i].вид).методы));
        }
        return {};
    }

    // What a template table keeps of a generic declaration: its own copy.
    // When the caller gives the bodies up, the copy takes the bodies over
    // from the tree instead of cloning them; nothing reads a generic body
    // in the tree again. The nodes are then the caller's own mutable tree
    // (освобождаемые is the same list), so dropping the const is sound.
    ast::ОбъявлениеФункции шаблон(const ast::ОбъявлениеФункции& функция) const {
        if (освобождаемые == nullptr)
            return функция;
        ast::Блок тело = std::move(const_cast<ast::ОбъявлениеФункции&>(функция).тело);
        ast::ОбъявлениеФункции копия = функция;
        копия.тело = std::move(тело);
        return копия;
    }

    ast::ОбъявлениеСтруктуры шаблон(const ast::ОбъявлениеСтруктуры& структура) const {
        if (освобождаемые == nullptr)
            return структура;
        std::vector<ast::Блок> тела;
        for (auto& метод : const_cast<ast::ОбъявлениеСтруктуры&>(структура).методы)
            тела.push_back(std::move(метод.тело));
        ast::ОбъявлениеСтруктуры копия = структура;
        for (std::size_t i = 0; i < тела.size(); ++i)
            копия.методы[i].тело = std::move(тела[i]);
        return копия;
    }

    // A template's nodes, counted with the program's: its first instance
    // charges them without walking it again. The key is the template's on
    // the stack of instances.
    void запомнить_размер(ПараИмён ключ, std::size_t номер) {
        if (номер < узлов_узла.size())
            а.размеры_шаблонов.вставить(std::move(ключ), узлов_узла[номер]);
    }

    СигнатураФункции сигнатура(const ast::ОбъявлениеФункции& функция) const {
        auto разрешить = [&](const ast::Тип& тип) { return а.разрешить_тип_параметра(тип); };
        return {типы_параметров(функция.параметры, разрешить),
                тип_возврата(функция.тип_возврата, разрешить)};
    }

    Итог<void> функция_главного_файла(const ast::ОбъявлениеФункции& функция, std::size_t номер) {
        const auto& имя = функция.имя;
        if (а.сигнатуры_функций.содержит(имя))
            return ошибка(fmt::format(сообщения::функция_повторно_в_главном_файле, имя));
        if (функция.обобщённые_параметры.size() > 1)
            return ошибка(fmt::format(сообщения::функция_много_обобщённых_параметров, имя));
        if (функция.обобщённые_параметры.size() == 1) {
            а.обобщённые_функции.вставить(имя, шаблон(функция));
            запомнить_размер({"", имя}, номер);
            return {};
        }
        а.сигнатуры_функций.вставить(имя, сигнатура(функция));
        return {};
    }

    Итог<void> функция_модуля(const ast::ОбъявлениеФункции& функция, const std::string& модуль) {
        const auto& имя = функция.имя;
        ПараИмён ключ{модуль, имя};
        if (а.сигнатуры_функций_модулей.содержит(ключ))
            return ошибка(fmt::format(сообщения::функция_повторно_в_модуле, имя, модуль));
        if (!функция.обобщённые_параметры.empty())
            return ошибка(fmt::format(сообщения::обобщённая_функция_в_модуле, имя, модуль));
        а.сигнатуры_функций_модулей.вставить(ключ, сигнатура(функция));
        а.имена_функций_модулей.вставить(ключ, fmt::format("{}__{}", модуль, имя));
        а.модули_функции[имя].push_back(модуль);
        return {};
    }

    // Only the nodes paired with a module entry are registered here.
    Итог<void> функции() {
        const auto пар = std::min(узлы.size(), модуль_узла.size());
        for (std::size_t i = 0; i < пар; ++i) {
            const auto* функция = узел_вида<ast::ВерхнийУзел::Функция>(узлы[i]);
            if (функция == nullptr)
                continue;
            const auto& объявление = функция->объявление;
            if (зарезервировано(объявление.имя))
                return ошибка(fmt::format(сообщения::имя_встроенной_функции, объявление.имя));
            auto итог = модуль_узла[i] ? функция_модуля(объявление, *модуль_узла[i])
                                       : функция_главного_файла(объявление, i);
            if (!итог)
                return итог;
        }
        return {};
    }

    Итог<void> внешние_функции() {
        for (const auto& узел : узлы) {
            const auto* внешняя = узел_вида<ast::ВерхнийУзел::ВнешняяФункция>(узел);
            if (внешняя == nullptr)
                continue;
            if (а.сигнатуры_функций.содержит(внешняя->имя))
                return ошибка(fmt::format(сообщения::внешняя_функция_повторно, внешняя->имя));
            а.сигнатуры_функций.вставить(внешняя->имя,
                                         {типы_параметров(внешняя->параметры, как_написано),
                                          тип_возврата(внешняя->тип_возврата, как_написано)});
            if (внешняя->символ)
                а.символы_внешних_функций.вставить(внешняя->имя, *внешняя->символ);
        }
        return {};
    }

    // A name that one module alone declares, and no function of the main
    // file, may be called without its module.
    void единственные_модули() {
        for (const auto& [имя, модули] : а.модули_функции)
            if (модули.size() == 1 && !а.сигнатуры_функций.содержит(имя))
                а.единственный_модуль_функции.вставить(имя, модули.front());
    }

    Итог<void> структуры() {
        for (std::size_t номер = 0; номер < узлы.size(); ++номер) {
            const auto* структура = узел_вида<ast::ВерхнийУзел::Структура>(узлы[номер]);
            if (структура == nullptr)
                continue;
            const auto& объявление = структура->объявление;
            const auto& имя = объявление.имя;
            if (имя == "Список" || имя == "Словарь")
                return ошибка(fmt::format(сообщения::имя_встроенного_типа, имя));
            // The name is made once for every table and member below.
            const ИмяТипа тип = имя;
            if (а.поля_структур.содержит(тип))
                return ошибка(fmt::format(сообщения::структура_повторно, имя));
            if (!объявление.обобщённые_параметры.empty()) {
                а.обобщённые_структуры.вставить(имя, шаблон(объявление));
                запомнить_размер({имя, ""}, номер);
                continue;
            }
            std::vector<ПолеТипа> поля;
            поля.reserve(объявление.поля.size());
            for (const auto& поле : объявление.поля)
                поля.push_back({поле.имя, преобразовать_тип(поле.тип)});
            а.поля_структур.вставить(тип, std::move(поля));
            а.контракты_структур.вставить(тип, объявление.контракты);
            for (const auto& контракт : объявление.контракты)
                а.заявленные_контракты.добавить({тип, контракт});
            for (const auto& поле : объявление.поля) {
                а.видимость_полей.вставить({тип, поле.имя},
                                           поле.видимость.value_or(ast::Видимость::Публично));
                if (поле.слабое)
                    а.слабые_поля.добавить({тип, поле.имя});
            }
        }
        return {};
    }

    Итог<void> методы() {
        for (const auto& узел : узлы) {
            const auto* структура = узел_вида<ast::ВерхнийУзел::Структура>(узел);
            if (структура == nullptr || !структура->объявление.обобщённые_параметры.empty())
                continue;
            const auto& имя = структура->объявление.имя;
            const ИмяТипа тип = имя;
            for (const auto& метод : структура->объявление.методы) {
                const ЧленТипа ключ{тип, метод.имя};
                if (а.сигнатуры_методов.содержит(ключ) || а.обобщённые_методы.содержит(ключ))
                    return ошибка(fmt::format(сообщения::метод_повторно, имя, метод.имя));
                const auto обобщённых = метод.обобщённые_параметры.size();
                if (обобщённых > 1)
                    return ошибка(
                        fmt::format(сообщения::метод_много_обобщённых_параметров, имя, метод.имя));
                if (обобщённых == 1) {
                    а.обобщённые_методы.вставить(ключ, шаблон(метод));
                    continue;
                }
                а.сигнатуры_методов.вставить(
                    ключ, {типы_параметров(метод.параметры, как_написано),
                           тип_возврата(метод.тип_возврата, как_написано), метод.видимость});
            }
        }
        return {};
    }

    // Each requirement against the method of its name, its types converted
    // once for the whole check.
    Итог<void> соответствие_контракту(const ИмяТипа& структура, const ИмяТипа& контракт) {
        const auto* сигнатуры = а.контракты.найти(контракт);
        if (сигнатуры == nullptr)
            return ошибка(fmt::format(сообщения::контракт_не_найден, структура, контракт));
        const auto решённые = а.требования_контракта(контракт, *сигнатуры);
        for (std::size_t i = 0; i < решённые.size(); ++i) {
            const auto& требование = сигнатуры->элементы[i];
            const auto& решённое = решённые[i];
            const auto* метод = а.сигнатуры_методов.найти({структура, требование.имя});
            if (метод == nullptr)
                return ошибка(fmt::format(сообщения::нет_метода_контракта, структура, контракт,
                                          требование.имя));
            if (решённое.параметры != метод->параметры)
                return ошибка(fmt::format(сообщения::параметры_не_как_в_контракте, структура,
                                          требование.имя, контракт, в_тексте(решённое.параметры),
                                          в_тексте(метод->параметры)));
            if (решённое.тип_возврата != метод->тип_возврата)
                return ошибка(fmt::format(сообщения::возврат_не_как_в_контракте, структура,
                                          требование.имя, контракт, в_тексте(решённое.тип_возврата),
                                          в_тексте(метод->тип_возврата)));
        }
        return {};
    }

    Итог<void> поле(const std::string& структура, const ast::ПолеСтруктуры& поле) const {
        const auto тип = преобразовать_тип(поле.тип);
        const auto* другая = std::get_if<Т::Структура>(&тип.вид);
        if (поле.слабое && другая == nullptr)
            return ошибка(
                fmt::format(сообщения::слабое_поле_не_структура, структура, поле.имя, тип));
        if (другая && !а.поля_структур.содержит(другая->имя))
            return ошибка(
                fmt::format(сообщения::неизвестный_тип_поля, структура, поле.имя, другая->имя));
        if (тип.неизвестен())
            return ошибка(fmt::format(сообщения::тип_поля_не_поддержан, структура, поле.имя));
        if (тип.есть<Т::Опциональный>())
            return ошибка(fmt::format(сообщения::опциональное_поле, структура, поле.имя));
        return {};
    }

    Итог<void> структура(const ast::ОбъявлениеСтруктуры& объявление) {
        const auto& имя = объявление.имя;
        const ИмяТипа тип = имя;
        // A contract named again was checked at its first mention, with the
        // same tables: checking it again could only repeat that success.
        std::unordered_set<std::string_view, ХешКлюча> проверенные;
        for (const auto& контракт : объявление.контракты) {
            if (!проверенные.insert(контракт).second)
                continue;
            if (auto итог = соответствие_контракту(тип, контракт); !итог)
                return итог;
        }
        std::unordered_set<std::string_view, ХешКлюча> встречены;
        for (const auto& п : объявление.поля) {
            if (!встречены.insert(п.имя).second)
                return ошибка(fmt::format(сообщения::поле_повторно, имя, п.имя));
            if (auto итог = поле(имя, п); !итог)
                return итог;
        }
        for (const auto& метод : объявление.методы) {
            if (!метод.обобщённые_параметры.empty())
                continue;
            if (auto итог =
                    а.проверить_метод(тип, метод, а.сигнатуры_методов.найти({тип, метод.имя}));
                !итог)
                return итог;
        }
        return {};
    }

    // Generic declarations are checked through their instances, when used.
    Итог<void> проверить_узел(std::size_t номер) {
        const auto& узел = узлы[номер];
        if (const auto* с = узел_вида<ast::ВерхнийУзел::Структура>(узел)) {
            if (с->объявление.обобщённые_параметры.empty())
                return структура(с->объявление);
        } else if (const auto* ф = узел_вида<ast::ВерхнийУзел::Функция>(узел)) {
            if (ф->объявление.обобщённые_параметры.empty())
                return а.проверить_функцию(ф->объявление, сигнатура_узла(номер, ф->объявление));
        }
        return {};
    }

    // The signature registered from the function of node `номер`, whose
    // types the body's scope takes instead of resolving them again; none
    // for a node past the module entries, which registered nothing.
    const СигнатураФункции* сигнатура_узла(std::size_t номер,
                                           const ast::ОбъявлениеФункции& функция) const {
        if (номер >= модуль_узла.size())
            return nullptr;
        if (const auto& модуль = модуль_узла[номер])
            return а.сигнатуры_функций_модулей.найти({*модуль, функция.имя});
        return а.сигнатуры_функций.найти(функция.имя);
    }

    Итог<void> проверить_узлы() {
        for (std::size_t i = 0; i < узлы.size(); ++i) {
            if (auto итог = проверить_узел(i); !итог)
                return итог;
            if (освобождаемые != nullptr)
                освободить_тела((*освобождаемые)[i]);
        }
        return {};
    }

    static void освободить_тела(ast::ВерхнийУзел& узел) {
        if (auto* с = std::get_if<ast::ВерхнийУзел::Структура>(&узел.вид)) {
            for (auto& метод : с->объявление.методы)
                ast::Блок().swap(метод.тело);
        } else if (auto* ф = std::get_if<ast::ВерхнийУзел::Функция>(&узел.вид)) {
            ast::Блок().swap(ф->объявление.тело);
        }
    }
};

}  // namespace

namespace {

// The work instances may do grows with the program; a written type whose
// mangled name would outgrow its bound ends the check before anything is
// registered.
Итог<void> проверить_по_порядку(Проверка проверка, const Модули& модули) {
    const auto узлов = измерить_программу(проверка.узлы, &проверка.узлов_узла);
    if (!узлов)
        return tl::unexpected(std::move(узлов.error()));
    проверка.а.бюджет_инстанциаций = бюджет_минимум + бюджет_на_узел * *узлов;
    const НедавниеУзлы недавние;
    проверка.а.модули = модули;
    if (auto итог = проверка.контракты(); !итог)
        return итог;
    if (auto итог = проверка.функции(); !итог)
        return итог;
    if (auto итог = проверка.внешние_функции(); !итог)
        return итог;
    проверка.единственные_модули();
    if (auto итог = проверка.структуры(); !итог)
        return итог;
    if (auto итог = проверка.методы(); !итог)
        return итог;
    return проверка.проверить_узлы();
}

// A check that went past the stack's limit anywhere ends with that stop,
// whatever the walks that stopped short there made of the rest.
Итог<void> проверить(Проверка проверка, const Модули& модули) {
    ast::ЗамерСтека замер;
    auto итог = проверить_по_порядку(std::move(проверка), модули);
    if (замер.исчерпан())
        return ошибка_стека();
    return итог;
}

}  // namespace

Итог<void> СемантическийАнализатор::проверить_программу(
    const std::vector<ast::ВерхнийУзел>& узлы, const Модули& модули,
    const std::vector<std::optional<std::string>>& модуль_узла) {
    return проверить(Проверка{*this, узлы, модуль_узла}, модули);
}

Итог<void> СемантическийАнализатор::проверить_программу_освобождая_тела(
    std::vector<ast::ВерхнийУзел>& узлы, const Модули& модули,
    const std::vector<std::optional<std::string>>& модуль_узла) {
    return проверить(Проверка{*this, узлы, модуль_узла, &узлы}, модули);
}

}  // namespace vokra::semantic
