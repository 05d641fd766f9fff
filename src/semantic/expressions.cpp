#include <algorithm>
#include <variant>
#include <vector>

#include "ast/stack.hpp"
#include "semantic/analyser.hpp"
#include "semantic/messages.hpp"
#include "semantic/overload.hpp"
#include "semantic/suggestions.hpp"

namespace vokra::semantic {

namespace {

using В = ast::Выражение;
using Т = РешённыйТип;

// What may stand inside an interpolated text.
bool вставляется_в_текст(const Т& тип) {
    return тип.числовой() || тип.есть<Т::Текст>() || тип.есть<Т::Верно>() || тип.неизвестен();
}

Итог<Т> тип_интерполяции(СемантическийАнализатор& а, const В::ИнтерполированныйТекст& текст) {
    for (const auto& фрагмент : текст.фрагменты) {
        const auto* выражение = std::get_if<ast::ФрагментТекста::Выражение>(&фрагмент.вид);
        if (!выражение)
            continue;
        auto тип = а.тип_выражения(выражение->выражение);
        if (!тип)
            return тип;
        if (!вставляется_в_текст(*тип))
            return ошибка(fmt::format(сообщения::интерполяция_тип, *тип));
    }
    return Т{Т::Текст{}};
}

Итог<Т> тип_переменной(const СемантическийАнализатор& а, const std::string& имя) {
    if (const auto* информация = а.области.найти(имя))
        return информация->тип();
    return ошибка(fmt::format(сообщения::переменная_не_объявлена, имя,
                              подсказка_похожего_имени(имя, а.области.все_видимые_имена())));
}

// A nest of array literals, `[[1]]`, holds its innermost literal as the
// first element of each level: the first elements are gone down in a loop,
// each level found not empty on the way, and on the way back each level
// checks its other elements against the type of the one below, as the
// recursion would check them, with no frame per level. The type below is
// held as its shared node, and each level's node is found by that node and
// the level's size, so no level's type is built, hashed or compared whole;
// only the outermost level is a type of its own. A run of levels of one
// element each is wrapped at once. Only a nest deeper than
// one keeps a list of its levels.
Итог<Т> тип_массива(СемантическийАнализатор& а, const В::МассивЛит& массив) {
    if (массив.элементы.empty())
        return ошибка(fmt::format(сообщения::пустой_массив));
    std::vector<const В::МассивЛит*> выше;
    const В::МассивЛит* уровень = &массив;
    while (const auto* вложенный = std::get_if<В::МассивЛит>(&уровень->элементы[0].вид)) {
        if (вложенный->элементы.empty())
            return ошибка(fmt::format(сообщения::пустой_массив));
        выше.push_back(уровень);
        уровень = вложенный;
    }
    auto первый = а.тип_выражения(уровень->элементы[0]);
    if (!первый)
        return первый;
    ОбщийТип ниже(std::move(*первый));
    for (;;) {
        const auto& элементы = уровень->элементы;
        for (std::size_t номер = 1; номер < элементы.size(); ++номер) {
            auto другой = а.тип_выражения(элементы[номер]);
            if (!другой)
                return другой;
            if (!другой->неизвестен() && *другой != *ниже)
                return ошибка(fmt::format(сообщения::элемент_массива_тип, номер, *другой, *ниже));
        }
        if (выше.empty())
            return Т{Т::Массив{std::move(ниже), элементы.size()}};
        ниже = общий_массив(std::move(ниже), элементы.size());
        уровень = выше.back();
        выше.pop_back();
        // The levels that hold the level below alone, the outermost one
        // aside, check nothing and are wrapped in one run.
        std::size_t одиночных = 0;
        for (; !выше.empty() && уровень->элементы.size() == 1; ++одиночных) {
            уровень = выше.back();
            выше.pop_back();
        }
        if (одиночных > 0)
            ниже = общий_массив(std::move(ниже), 1, одиночных);
    }
}

// A chain of field accesses, `а.б.в`, holds its first object innermost: it
// is gone down in a loop and each field read on the way back, as the
// recursion would read them, with no frame per field. Only a chain longer
// than one keeps a list of the levels below its top.
Итог<Т> тип_доступа_к_полю(СемантическийАнализатор& а, const В::ДоступКПолю& доступ) {
    std::vector<const В::ДоступКПолю*> ниже;
    const ast::Выражение* объект = &доступ.объект();
    while (const auto* вложенный = std::get_if<В::ДоступКПолю>(&объект->вид)) {
        ниже.push_back(вложенный);
        объект = &вложенный->объект();
    }
    auto тип = а.тип_выражения(*объект);
    if (!тип)
        return тип;
    // Each level's type lies within the nodes of the first object's type or
    // in the tables, so only the last is copied.
    const Т* уровня = &*тип;
    for (auto уровень = ниже.rbegin(); уровень != ниже.rend(); ++уровень) {
        auto поле = а.тип_поля_значения(*уровня, (*уровень)->поле());
        if (!поле)
            return tl::unexpected(std::move(поле.error()));
        уровня = *поле;
    }
    auto поле = а.тип_поля_значения(*уровня, доступ.поле());
    if (!поле)
        return tl::unexpected(std::move(поле.error()));
    return **поле;
}

// The same for a chain of binary operators, which leans left: its left
// operands are gone down in a loop, and each level is typed on the way back,
// its right operand after what stands on its left.
Итог<Т> тип_бинарной_цепи(СемантическийАнализатор& а, const В::Бинарное& бинарное) {
    std::vector<const В::Бинарное*> ниже;
    const ast::Выражение* левое = &бинарное.левое();
    while (const auto* вложенное = std::get_if<В::Бинарное>(&левое->вид)) {
        ниже.push_back(вложенное);
        левое = &вложенное->левое();
    }
    auto тип = а.тип_выражения(*левое);
    // Each level's type takes the place of the one below it.
    const auto уровень = [&](const В::Бинарное& б) {
        auto правый = а.тип_выражения(б.правое());
        if (!правый)
            тип = std::move(правый);
        else if (auto итог = применить_бинарную_операцию(*тип, б.оператор, *правый); !итог)
            тип = tl::unexpected(std::move(итог.error()));
    };
    for (auto нижний = ниже.rbegin(); нижний != ниже.rend() && тип; ++нижний)
        уровень(**нижний);
    if (тип)
        уровень(бинарное);
    return тип;
}

// The type `уровней` levels inside `внешний`, each level taken off by
// `внутри` (the inner type of its kind, or none): read in place within the
// nodes of the outer type rather than copied at every level. Неизвестен at
// any level gives Неизвестен; a type of another kind, the message made of it.
template <class Внутри, class Сообщение>
Итог<Т> снять_уровни(const Т& внешний, std::size_t уровней, Внутри&& внутри,
                     Сообщение&& сообщение) {
    const Т* тип = &внешний;
    for (std::size_t i = 0; i < уровней; ++i) {
        if (const Т* внутренний = внутри(*тип)) {
            тип = внутренний;
            continue;
        }
        if (тип->неизвестен())
            return неизвестный_тип();
        return ошибка(сообщение(*тип));
    }
    return *тип;
}

// A chain of index accesses, `м[0][1]`, holds its array innermost. Its
// indices are typed going down, the outermost first, and the array last, as
// the recursion would type them, with no frame per level; each level then
// takes the element of the one inside it.
Итог<Т> тип_доступа_по_индексу(СемантическийАнализатор& а, const В::ДоступПоИндексу& доступ) {
    std::size_t уровней = 1;
    const В::ДоступПоИндексу* уровень = &доступ;
    while (true) {
        auto индекс = а.тип_выражения(*уровень->индекс);
        if (!индекс)
            return индекс;
        if (!индекс->целый() && !индекс->неизвестен())
            return ошибка(fmt::format(сообщения::индекс_не_целый, *индекс));
        const auto* вложенный = std::get_if<В::ДоступПоИндексу>(&уровень->массив->вид);
        if (вложенный == nullptr)
            break;
        уровень = вложенный;
        ++уровней;
    }
    auto массив = а.тип_выражения(*уровень->массив);
    if (!массив)
        return массив;
    return снять_уровни(
        *массив, уровней,
        [](const Т& тип) -> const Т* {
            const auto* м = std::get_if<Т::Массив>(&тип.вид);
            return м ? &*м->элемент : nullptr;
        },
        [](const Т& тип) { return fmt::format(сообщения::индексация_не_массива, тип); });
}

// A chain of `?`, `м??`: every level asks first for the same return type, so
// the outermost alone can fail that; then the value innermost is typed and
// each level takes the value type of the result inside it.
Итог<Т> тип_проброса(СемантическийАнализатор& а, const В::Проброс& проброс) {
    const auto& возврат = а.текущий_тип_возврата;
    if (!возврат || !возврат->есть<Т::Результат>())
        return ошибка(fmt::format(сообщения::проброс_вне_результата));
    std::size_t уровней = 1;
    const ast::Выражение* значение = &*проброс.значение;
    while (const auto* вложенный = std::get_if<В::Проброс>(&значение->вид)) {
        значение = &*вложенный->значение;
        ++уровней;
    }
    auto тип = а.тип_выражения(*значение);
    if (!тип)
        return тип;
    return снять_уровни(
        *тип, уровней,
        [](const Т& т) -> const Т* {
            const auto* результат = std::get_if<Т::Результат>(&т.вид);
            return результат ? &*результат->тип : nullptr;
        },
        [](const Т& т) { return fmt::format(сообщения::проброс_не_результата, т); });
}

Итог<Т> тип_ошибки(СемантическийАнализатор& а, const В::Ошибка& выражение) {
    auto сообщение = а.тип_выражения(*выражение.значение);
    if (!сообщение)
        return сообщение;
    if (!сообщение->есть<Т::Текст>() && !сообщение->неизвестен())
        return ошибка(fmt::format(сообщения::ошибка_ожидает_текст, *сообщение));
    return тип_результата(неизвестный_тип());
}

}  // namespace

Итог<РешённыйТип> СемантическийАнализатор::тип_выражения(const ast::Выражение& выражение) {
    if (ast::стек_исчерпан()) [[unlikely]]
        return ошибка_стека();
    // A prefix operator's value has its operand's type: a chain of them
    // takes no frame per operator.
    const ast::Выражение* без_префиксов = &выражение;
    while (const auto* унарное = std::get_if<В::Унарное>(&без_префиксов->вид))
        без_префиксов = &*унарное->операнд;
    return std::visit(
        Перегрузка{
            [](const В::ЦелоеЛит&) -> Итог<Т> { return Т{Т::Целое{}}; },
            [](const В::ДробноеЛит&) -> Итог<Т> { return Т{Т::Дробное{}}; },
            [](const В::ТекстЛит&) -> Итог<Т> { return Т{Т::Текст{}}; },
            [this](const В::ИнтерполированныйТекст& т) { return тип_интерполяции(*this, т); },
            [](const В::ВерноЛит&) -> Итог<Т> { return Т{Т::Верно{}}; },
            [](const В::НеуказаноЛит&) -> Итог<Т> { return неизвестный_тип(); },
            [this](const В::Идентификатор& и) { return тип_переменной(*this, и.имя); },
            [this](const В::МассивЛит& м) { return тип_массива(*this, м); },
            [this](const В::ВызовФункции& в) { return тип_вызова_функции(в); },
            [this](const В::ДоступКПолю& д) { return тип_доступа_к_полю(*this, д); },
            [this](const В::ВызовМетода& в) { return тип_вызова_метода(в); },
            [this](const В::ДоступПоИндексу& д) { return тип_доступа_по_индексу(*this, д); },
            [this](const В::Бинарное& б) { return тип_бинарной_цепи(*this, б); },
            [this](const В::Унарное& у) { return тип_выражения(*у.операнд); },
            [this](const В::Проброс& п) { return тип_проброса(*this, п); },
            [this](const В::Успех& у) -> Итог<Т> {
                auto значение = тип_выражения(*у.значение);
                if (!значение)
                    return значение;
                return тип_результата(std::move(*значение));
            },
            [this](const В::Ошибка& о) { return тип_ошибки(*this, о); },
        },
        без_префиксов->вид);
}

Итог<const РешённыйТип*> СемантическийАнализатор::тип_поля_значения(const РешённыйТип& владелец,
                                                                    const std::string& поле) {
    // The pseudo-fields' own types hold no nodes, so they may stand for the
    // whole process.
    static const Т верно{Т::Верно{}};
    static const Т текст{Т::Текст{}};
    if (const auto* структура = std::get_if<Т::Структура>(&владелец.вид)) {
        const auto* поля = поля_структур.найти(структура->имя);
        if (!поля)
            return ошибка(fmt::format(сообщения::структура_не_найдена_в_таблице, структура->имя));
        return тип_доступного_поля(структура->имя, *поля, поле);
    }
    if (const auto* результат = std::get_if<Т::Результат>(&владелец.вид)) {
        if (поле == "успешно")
            return &верно;
        if (поле == "значение")
            return &*результат->тип;
        if (поле == "сообщение")
            return &текст;
        return ошибка(fmt::format(сообщения::нет_поля_результата, поле));
    }
    if (const auto* опциональный = std::get_if<Т::Опциональный>(&владелец.вид)) {
        if (поле == "есть")
            return &верно;
        if (поле == "значение")
            return &*опциональный->тип;
        return ошибка(fmt::format(сообщения::нет_поля_опционального, поле));
    }
    if (владелец.неизвестен())
        return &владелец;
    return ошибка(fmt::format(сообщения::доступ_не_к_структуре, владелец));
}

Итог<void> СемантическийАнализатор::проверить_доступ_к_полю(const ИмяТипа& структура,
                                                            const std::string& поле) const {
    // Inside the structure's own methods every field is accessible.
    if (текущая_структура == структура)
        return {};
    const auto* видимость = видимость_полей.найти_запись(ИскомыйЧлен(структура, поле));
    if (!видимость || видимость->second == ast::Видимость::Публично)
        return {};
    return ошибка(fmt::format(сообщения::поле_приватное, структура, поле, структура));
}

Итог<const РешённыйТип*> СемантическийАнализатор::тип_доступного_поля(const ИмяТипа& структура,
                                                                      const ПоляТипа& поля,
                                                                      const std::string& поле) {
    const auto* п = поля.найти(поле);
    if (п == nullptr)
        return ошибка(fmt::format(сообщения::нет_поля, структура, поле));
    if (есть_приватные_поля(структура, поля))
        if (auto доступ = проверить_доступ_к_полю(структура, поле); !доступ)
            return tl::unexpected(std::move(доступ.error()));
    return &п->тип;
}

bool СемантическийАнализатор::есть_приватные_поля(const ИмяТипа& структура, const ПоляТипа& поля) {
    if (const auto* известно = приватные_поля_структур.найти(структура))
        return *известно;
    const bool есть = std::ranges::any_of(поля, [&](const ПолеТипа& п) {
        const auto* видимость = видимость_полей.найти_запись(ИскомыйЧлен(структура, п.имя));
        return видимость && видимость->second != ast::Видимость::Публично;
    });
    приватные_поля_структур.вставить(структура, есть);
    return есть;
}

// Most operations give the left operand's type: it is then left in place,
// not copied, at every level of a chain.
Итог<void> применить_бинарную_операцию(РешённыйТип& левый, ast::БинарныйОператор оператор,
                                       const РешённыйТип& правый) {
    using О = ast::БинарныйОператор;
    if (левый.неизвестен() || правый.неизвестен()) {
        левый = неизвестный_тип();
        return {};
    }
    switch (оператор) {
        case О::Плюс:
        case О::Минус:
        case О::Умножить:
        case О::Разделить:
        case О::Остаток:
            if (левый == правый)
                return {};
            return ошибка(fmt::format(сообщения::арифметика_разные_типы, левый, правый));
        case О::Равно:
        case О::НеРавно:
        case О::Меньше:
        case О::Больше:
        case О::МеньшеРавно:
        case О::БольшеРавно:
            if (левый == правый) {
                левый = Т{Т::Верно{}};
                return {};
            }
            return ошибка(fmt::format(сообщения::сравнение_разные_типы, левый, правый));
        case О::И:
        case О::Или:
            if (левый.есть<Т::Верно>() && правый.есть<Т::Верно>())
                return {};
            return ошибка(fmt::format(сообщения::логика_не_верно));
        case О::БитИ:
        case О::БитИли:
        case О::БитИскл:
            if (!левый.целый() || !правый.целый())
                return ошибка(fmt::format(сообщения::побитовые_не_целые));
            if (левый == правый)
                return {};
            return ошибка(fmt::format(сообщения::побитовые_разные_типы, левый, правый));
        case О::СдвигВлево:
        case О::СдвигВправо:
            if (!левый.целый() || !правый.целый())
                return ошибка(fmt::format(сообщения::сдвиг_не_целые));
            if (левый == правый)
                return {};
            return ошибка(fmt::format(сообщения::сдвиг_разные_типы, левый, правый));
    }
    левый = неизвестный_тип();
    return {};
}

}  // namespace vokra::semantic
