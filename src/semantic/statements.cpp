// Statement lists and the statements in them: declarations, assignments and
// their targets, conditions, loops, returns, parallel blocks, `прервать` and
// `продолжить`. An error gets the line of the innermost statement it arose in.
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "ast/print.hpp"
#include "ast/stack.hpp"
#include "semantic/analyser.hpp"
#include "semantic/messages.hpp"
#include "semantic/overload.hpp"
#include "semantic/suggestions.hpp"

namespace vokra::semantic {

namespace {

using Т = РешённыйТип;

bool условный(const Т& тип) {
    return тип.есть<Т::Верно>() || тип.неизвестен();
}

bool годится_как_индекс(const Т& тип) {
    return тип.целый() || тип.неизвестен();
}

// Whether a variable of a type takes a value. An optional variable takes a
// plain value of its inner type, and also another optional value of its own
// type: one optional copied into another.
Итог<void> принимает(const Т& переменная, const Т& значение, const std::string& имя) {
    const auto* опциональный = std::get_if<Т::Опциональный>(&переменная.вид);
    if (опциональный == nullptr)
        return проверить_совместимость_типов(переменная, значение, имя);
    if (значение == переменная)
        return {};
    return проверить_совместимость_типов(*опциональный->тип, значение, имя);
}

// The field's type in the structure's table, its visibility checked; an
// error for a structure that is not there or has no such field.
Итог<const Т*> тип_поля(СемантическийАнализатор& а, const ИмяТипа& структура,
                        const std::string& поле) {
    const auto* поля = а.поля_структур.найти(структура);
    if (поля == nullptr)
        return ошибка(fmt::format(сообщения::структура_не_найдена, структура));
    return а.тип_доступного_поля(структура, *поля, поле);
}

// The type of one level of a nested target once the type of the target
// inside it is known, read in place there or in the tables.
Итог<const Т*> тип_уровня_цели(СемантическийАнализатор& а, const ast::МестоЗаписи& уровень,
                               const Т& внутри) {
    if (const auto* поле = std::get_if<ast::МестоЗаписи::Поле>(&уровень.вид)) {
        const auto* структура = std::get_if<Т::Структура>(&внутри.вид);
        if (структура == nullptr)
            return ошибка(fmt::format(сообщения::доступ_к_полю_не_структуры, внутри));
        return тип_поля(а, структура->имя, поле->поле);
    }
    const auto* м = std::get_if<Т::Массив>(&внутри.вид);
    if (м == nullptr)
        return ошибка(fmt::format(сообщения::индексация_не_массива, внутри));
    return &*м->элемент;
}

// One statement, by its kind. Kept apart from проверить_блок so that the
// frames of nested blocks stay small.
struct ПроверкаОператора {
    СемантическийАнализатор& а;

    Итог<void> объявить(const ast::Тип& тип, const ast::Выражение& значение, const std::string& имя,
                        bool неизменная) const {
        if (а.области.в_текущей(имя))
            return ошибка(неизменная ? fmt::format(сообщения::неизменная_уже_объявлена, имя)
                                     : fmt::format(сообщения::переменная_уже_объявлена, имя));
        auto решённый = а.решить_тип_объявления(тип, значение, имя);
        if (!решённый)
            return tl::unexpected(std::move(решённый.error()));
        а.области.объявить(имя, std::move(*решённый), неизменная);
        return {};
    }

    Итог<void> operator()(const ast::Оператор::ОбъявлениеПеременной& о) const {
        return объявить(о.тип(), о.значение(), о.имя(), false);
    }
    Итог<void> operator()(const ast::Оператор::ОбъявлениеНеизменной& о) const {
        return объявить(о.тип(), о.значение(), о.имя(), true);
    }

    Итог<void> operator()(const ast::Оператор::Присваивание& о) const {
        auto значение = а.тип_выражения(о.значение());
        if (!значение)
            return tl::unexpected(std::move(значение.error()));
        auto записано = std::visit(Перегрузка{
                                       [&](const ast::МестоЗаписи::Индекс&) {
                                           return присвоить_элементу(о.цель(), *значение);
                                       },
                                       [&](const auto& цель) { return присвоить(цель, *значение); },
                                   },
                                   о.цель().вид);
        if (!записано)
            return tl::unexpected(std::move(записано.error()));
        а.разрешённые_присваивания.push_back(std::move(*записано));
        return {};
    }

    // An assignment to a name: a variable that exists takes the value, an
    // unknown name is declared with the value's type.
    Итог<РазрешённоеПрисваивание> присвоить(const ast::МестоЗаписи::Переменная& цель,
                                            const Т& значение) const {
        const auto& имя = цель.имя;
        if (const auto* переменная = а.области.найти(имя)) {
            if (переменная->неизменная)
                return ошибка(fmt::format(сообщения::присваивание_неизменной, имя));
            if (auto совместимы = принимает(переменная->тип(), значение, имя); !совместимы)
                return tl::unexpected(std::move(совместимы.error()));
            return РазрешённоеПрисваивание{};
        }
        if (значение.неизвестен())
            return ошибка(fmt::format(сообщения::тип_не_выведен, имя));
        а.области.объявить(имя, значение, false);
        return РазрешённоеПрисваивание{значение};
    }

    // An element of an array takes a value of the element's type; the target
    // is typed as every nested target is.
    Итог<РазрешённоеПрисваивание> присвоить_элементу(const ast::МестоЗаписи& цель,
                                                     const Т& значение) const {
        auto элемент = а.тип_места_записи(цель);
        if (!элемент)
            return tl::unexpected(std::move(элемент.error()));
        if (auto совместимы = проверить_совместимость_типов(*элемент, значение, "элемент массива");
            !совместимы)
            return tl::unexpected(std::move(совместимы.error()));
        return РазрешённоеПрисваивание{};
    }

    Итог<РазрешённоеПрисваивание> присвоить(const ast::МестоЗаписи::Поле& цель,
                                            const Т& значение) const {
        auto объект = а.тип_места_записи(*цель.объект);
        if (!объект)
            return tl::unexpected(std::move(объект.error()));
        const auto* структура = std::get_if<Т::Структура>(&объект->вид);
        if (структура == nullptr)
            return ошибка(fmt::format(сообщения::поле_не_структуры, цель.поле, *объект));
        auto поле = тип_поля(а, структура->имя, цель.поле);
        if (!поле)
            return tl::unexpected(std::move(поле.error()));
        if (auto совместимы = проверить_совместимость_типов(
                **поле, значение,
                [&] { return fmt::format(сообщения::имя_через_точку, структура->имя, цель.поле); });
            !совместимы)
            return tl::unexpected(std::move(совместимы.error()));
        return РазрешённоеПрисваивание{};
    }

    // The value's type is dropped.
    Итог<void> operator()(const ast::Оператор::ВыражениеОператор& о) const {
        return а.тип_выражения(о.выражение).map([](const Т&) {});
    }

    // An else-if chain is checked link by link in this one frame. The
    // else-list that holds nothing but the next `если` declares nothing, so
    // its scope would only lie empty under the next link's: checked as a
    // list, each link would stand a scope deeper than the one before, and
    // every lookup in it would pass through all of them.
    Итог<void> operator()(const ast::Оператор::Если& о) const {
        const ast::Оператор::Если* звено = &о;
        // The line of the link's own statement in the else-list before it.
        std::optional<std::size_t> строка_звена;
        while (true) {
            if (auto ветвь = проверить_звено(*звено); !ветвь) {
                if (!ветвь.error().строка)
                    ветвь.error().строка = строка_звена;
                return ветвь;
            }
            if (!звено->иначе())
                return {};
            const auto* следующее = единственное_если(*звено->иначе());
            if (следующее == nullptr)
                return а.проверить_блок(*звено->иначе());
            строка_звена = звено->иначе()->front().строка;
            звено = следующее;
        }
    }

    // The condition and the then-list of one link.
    Итог<void> проверить_звено(const ast::Оператор::Если& о) const {
        auto условие = а.тип_выражения(о.условие());
        if (!условие)
            return tl::unexpected(std::move(условие.error()));
        if (!условный(*условие))
            return ошибка(fmt::format(сообщения::условие_если, *условие));
        return а.проверить_блок(о.то());
    }

    static const ast::Оператор::Если* единственное_если(const ast::Блок& блок) {
        return блок.size() == 1 ? std::get_if<ast::Оператор::Если>(&блок.front().оператор.вид)
                                : nullptr;
    }

    Итог<void> operator()(const ast::Оператор::ДляКаждого& о) const {
        auto коллекция = а.тип_выражения(о.коллекция());
        if (!коллекция)
            return tl::unexpected(std::move(коллекция.error()));
        Т элемент = неизвестный_тип();
        if (const auto* массив = std::get_if<Т::Массив>(&коллекция->вид))
            элемент = *массив->элемент;
        else if (const auto* список = std::get_if<Т::Список>(&коллекция->вид))
            элемент = *список->элемент;
        else if (!коллекция->неизвестен())
            return ошибка(fmt::format(сообщения::для_каждого_не_коллекция, *коллекция));
        // The loop variable has a scope of its own between the enclosing
        // list's and the body's, so the body may declare another one.
        а.области.войти();
        а.области.объявить(о.переменная(), std::move(элемент), false);
        ++а.глубина_циклов;
        if (auto тело = а.проверить_блок(о.тело()); !тело)
            return тело;
        --а.глубина_циклов;
        а.области.выйти();
        return {};
    }

    Итог<void> operator()(const ast::Оператор::Пока& о) const {
        auto условие = а.тип_выражения(о.условие());
        if (!условие)
            return tl::unexpected(std::move(условие.error()));
        if (!условный(*условие))
            return ошибка(fmt::format(сообщения::условие_пока));
        ++а.глубина_циклов;
        if (auto тело = а.проверить_блок(о.тело()); !тело)
            return тело;
        --а.глубина_циклов;
        return {};
    }

    Итог<void> operator()(const ast::Оператор::Вернуть& о) const {
        const auto& ожидаемый = а.текущий_тип_возврата;
        if (!о.значение) {
            if (ожидаемый)
                return ошибка(fmt::format(сообщения::вернуть_без_значения, *ожидаемый));
            return {};
        }
        if (!ожидаемый) {
            auto значение = а.тип_выражения(*о.значение);
            if (!значение)
                return tl::unexpected(std::move(значение.error()));
            return ошибка(fmt::format(сообщения::вернуть_без_типа_возврата));
        }
        if (const auto* результат = std::get_if<Т::Результат>(&ожидаемый->вид)) {
            if (const auto* успех = std::get_if<ast::Выражение::Успех>(&о.значение->вид)) {
                auto значение = а.тип_выражения(*успех->значение);
                if (!значение)
                    return tl::unexpected(std::move(значение.error()));
                return проверить_совместимость_типов(*результат->тип, *значение, "успех(...)");
            }
            if (const auto* отказ = std::get_if<ast::Выражение::Ошибка>(&о.значение->вид)) {
                auto сообщение = а.тип_выражения(*отказ->значение);
                if (!сообщение)
                    return tl::unexpected(std::move(сообщение.error()));
                if (!сообщение->есть<Т::Текст>() && !сообщение->неизвестен())
                    return ошибка(fmt::format(сообщения::ошибка_ожидает_текст, *сообщение));
                return {};
            }
        }
        auto значение = а.тип_выражения(*о.значение);
        if (!значение)
            return tl::unexpected(std::move(значение.error()));
        const auto* контракт = std::get_if<Т::Контракт>(&ожидаемый->вид);
        const auto* структура = std::get_if<Т::Структура>(&значение->вид);
        if (контракт && структура) {
            if (а.реализует_контракт(структура->имя, контракт->имя))
                return {};
            return ошибка(fmt::format(сообщения::вернуть_не_реализует_контракт, структура->имя,
                                      контракт->имя, структура->имя, контракт->имя));
        }
        return проверить_совместимость_типов(*ожидаемый, *значение, "вернуть");
    }

    // A parallel body starts outside every loop: `прервать` cannot leave it.
    Итог<void> operator()(const ast::Оператор::ПараллельныйБлок& о) const {
        const auto глубина = а.глубина_циклов;
        а.глубина_циклов = 0;
        if (auto тело = а.проверить_блок(о.тело); !тело)
            return тело;
        а.глубина_циклов = глубина;
        return {};
    }

    Итог<void> operator()(const ast::Оператор::Прервать&) const {
        if (а.глубина_циклов == 0)
            return ошибка(fmt::format(сообщения::прервать_вне_цикла));
        return {};
    }
    Итог<void> operator()(const ast::Оператор::Продолжить&) const {
        if (а.глубина_циклов == 0)
            return ошибка(fmt::format(сообщения::продолжить_вне_цикла));
        return {};
    }
};

}  // namespace

Итог<void> СемантическийАнализатор::проверить_блок(const ast::Блок& блок) {
    if (ast::стек_исчерпан()) [[unlikely]]
        return ошибка_стека();
    области.войти();
    for (const auto& [оператор, строка] : блок) {
        auto итог = std::visit(ПроверкаОператора{*this}, оператор.вид);
        if (!итог) {
            if (!итог.error().строка)
                итог.error().строка = строка;
            return итог;
        }
    }
    области.выйти();
    return {};
}

Итог<РешённыйТип> СемантическийАнализатор::решить_тип_объявления(const ast::Тип& объявленный,
                                                                 const ast::Выражение& значение,
                                                                 const std::string& имя) {
    // A contract type takes a contract value or a structure that declares it.
    if (const auto* пользовательский = std::get_if<ast::Тип::Пользовательский>(&объявленный.вид);
        пользовательский && контракты.содержит(пользовательский->имя)) {
        const auto& контракт = пользовательский->имя;
        auto тип = тип_выражения(значение);
        if (!тип)
            return тип;
        Т как_контракт{Т::Контракт{контракт}};
        if (*тип == как_контракт)
            return как_контракт;
        if (const auto* структура = std::get_if<Т::Структура>(&тип->вид)) {
            if (реализует_контракт(структура->имя, контракт))
                return как_контракт;
            return ошибка(fmt::format(сообщения::объявление_не_реализует_контракт, имя,
                                      структура->имя, контракт, структура->имя, контракт));
        }
        return ошибка(
            fmt::format(сообщения::объявление_контракта_не_структура, имя, контракт, *тип));
    }
    // An array without a size takes the size of the literal on the right.
    if (const auto* массив = std::get_if<ast::Тип::Массив>(&объявленный.вид);
        массив && !массив->размер) {
        auto тип = тип_выражения(значение);
        if (!тип)
            return тип;
        const auto* литерал = std::get_if<Т::Массив>(&тип->вид);
        if (литерал == nullptr)
            return ошибка(
                fmt::format(сообщения::массив_без_размера, имя, ast::отладка(*массив->элемент)));
        auto элемент = преобразовать_тип(*массив->элемент);
        if (*литерал->элемент != элемент)
            return ошибка(fmt::format(сообщения::элементы_массива_другого_типа, имя,
                                      *литерал->элемент, элемент));
        return тип;
    }
    if (const auto* опциональный = std::get_if<ast::Тип::Опциональный>(&объявленный.вид)) {
        auto внутренний = преобразовать_тип(*опциональный->тип);
        if (!внутренний.числовой() && !внутренний.есть<Т::Верно>())
            return ошибка(fmt::format(сообщения::опциональный_не_скаляр, имя, внутренний));
        if (!std::holds_alternative<ast::Выражение::НеуказаноЛит>(значение.вид)) {
            auto тип = тип_выражения(значение);
            if (!тип)
                return тип;
            Т объявлен{Т::Опциональный{std::move(внутренний)}};
            if (auto совместимы = принимает(объявлен, *тип, имя); !совместимы)
                return tl::unexpected(std::move(совместимы.error()));
            return объявлен;
        }
        return Т{Т::Опциональный{std::move(внутренний)}};
    }
    // A channel made by создать_канал() takes the declared element type.
    if (const auto* канал = std::get_if<ast::Тип::Канал>(&объявленный.вид)) {
        if (const auto* вызов = std::get_if<ast::Выражение::ВызовФункции>(&значение.вид);
            вызов && вызов->имя() == "создать_канал") {
            if (!вызов->аргументы().empty())
                return ошибка(fmt::format(сообщения::создать_канал_с_аргументами));
            return Т{Т::Канал{преобразовать_тип(*канал->тип)}};
        }
    }
    auto тип = тип_выражения(значение);
    if (!тип)
        return тип;
    auto ожидаемый = разрешить_тип_параметра(объявленный);
    if (auto совместимы = проверить_совместимость_типов(ожидаемый, *тип, имя); !совместимы)
        return tl::unexpected(std::move(совместимы.error()));
    return ожидаемый;
}

// A nested target, `м[і].поле[j]`, holds its variable innermost. It is gone
// down in a loop, each index typed on the way, the outermost first; then the
// variable is looked up and each level read on the way back: the order of
// the recursion over the levels, with no frame per level. Each level's type
// lies within the variable's type or in the tables, so only the last is
// copied. Only a target of more than one level keeps a list of its levels.
Итог<РешённыйТип> СемантическийАнализатор::тип_места_записи(const ast::МестоЗаписи& место) {
    if (ast::стек_исчерпан()) [[unlikely]]
        return ошибка_стека();
    const ast::МестоЗаписи* верхний = nullptr;
    std::vector<const ast::МестоЗаписи*> ниже;
    const auto пройден = [&](const ast::МестоЗаписи* у) {
        if (верхний == nullptr)
            верхний = у;
        else
            ниже.push_back(у);
    };
    const ast::МестоЗаписи* уровень = &место;
    while (true) {
        if (const auto* индекс = std::get_if<ast::МестоЗаписи::Индекс>(&уровень->вид)) {
            auto тип = тип_выражения(*индекс->индекс);
            if (!тип)
                return тип;
            if (!годится_как_индекс(*тип))
                return ошибка(fmt::format(сообщения::индекс_не_целый, *тип));
            пройден(уровень);
            уровень = &*индекс->массив;
        } else if (const auto* поле = std::get_if<ast::МестоЗаписи::Поле>(&уровень->вид)) {
            пройден(уровень);
            уровень = &*поле->объект;
        } else {
            break;
        }
    }
    const auto& имя = std::get<ast::МестоЗаписи::Переменная>(уровень->вид).имя;
    const auto* переменная = области.найти(имя);
    if (переменная == nullptr)
        return ошибка(fmt::format(сообщения::переменная_не_объявлена, имя,
                                  подсказка_похожего_имени(имя, области.все_видимые_имена())));
    const Т* тип = &переменная->тип();
    const auto прочитать = [&](const ast::МестоЗаписи& у) -> Итог<void> {
        auto следующий = тип_уровня_цели(*this, у, *тип);
        if (!следующий)
            return tl::unexpected(std::move(следующий.error()));
        тип = *следующий;
        return {};
    };
    for (auto внутренний = ниже.rbegin(); внутренний != ниже.rend(); ++внутренний)
        if (auto итог = прочитать(**внутренний); !итог)
            return tl::unexpected(std::move(итог.error()));
    if (верхний != nullptr)
        if (auto итог = прочитать(*верхний); !итог)
            return tl::unexpected(std::move(итог.error()));
    return *тип;
}

}  // namespace vokra::semantic
