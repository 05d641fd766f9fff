#include "indexes/indexes.hpp"

#include <cstddef>
#include <iterator>
#include <string_view>
#include <type_traits>
#include <variant>

#include "ast/stack.hpp"
#include "ast/walk.hpp"

namespace vokra::indexes {

namespace {

// Calls of this name that is not a local are array literals.
constexpr std::string_view массив_слово = "массив";

bool есть(const Имена& имена, const std::string& имя) {
    return имена.find(имя) != имена.end();
}

void функция(Контекст& контекст, ast::ОбъявлениеФункции& объявление) {
    контекст.локальные_имена.clear();
    for (const auto& параметр : объявление.параметры)
        контекст.локальные_имена.insert(параметр.имя);
    собрать_имена(объявление.тело, контекст.локальные_имена);
    блок(контекст, объявление.тело);
}

// Rewrites a call in place, when it changes: the new node is made of the
// call's parts and then takes the call's place. What decides is the call's
// name, its type arguments and the number of its arguments, none of which
// rewriting the arguments changes: a call is rewritten before its children,
// which are then rewritten in their new place, with the same result as
// children first.
template <class Альтернатива>
void поставить(ast::Выражение& выр, Альтернатива&& новое) {
    выр.вид.emplace<std::remove_cvref_t<Альтернатива>>(std::forward<Альтернатива>(новое));
}

void заменить(const Контекст& контекст, ast::Выражение& выр) {
    using В = ast::Выражение;
    if (auto* вызов = std::get_if<В::ВызовФункции>(&выр.вид)) {
        if (!вызов->типовые_параметры().empty())
            return;
        const bool локальное = есть(контекст.локальные_имена, вызов->имя());
        if (вызов->имя() == массив_слово && !локальное)
            return поставить(выр,
                             В::МассивЛит{{std::make_move_iterator(вызов->аргументы().begin()),
                                           std::make_move_iterator(вызов->аргументы().end())}});
        if (локальное && вызов->аргументы().size() == 1)
            поставить(выр, В::ДоступПоИндексу{В{В::Идентификатор{std::move(вызов->имя())}},
                                              std::move(вызов->аргументы()[0])});
        return;
    }
    if (auto* вызов = std::get_if<В::ВызовМетода>(&выр.вид)) {
        if (!вызов->типовые_параметры().empty() || вызов->аргументы().size() != 1)
            return;
        if (вызов->метод().empty())
            return поставить(выр, В::ДоступПоИндексу{std::move(вызов->объект()),
                                                     std::move(вызов->аргументы()[0])});
        if (есть(контекст.имена_полей, вызов->метод()) &&
            !есть(контекст.имена_методов, вызов->метод()))
            поставить(выр, В::ДоступПоИндексу{В{В::ДоступКПолю{std::move(вызов->объект()),
                                                               std::move(вызов->метод())}},
                                              std::move(вызов->аргументы()[0])});
    }
}

// Every child of a node but one is rewritten by a call of its own; the one
// left, the one through which chains and nests of one kind go deep, is
// returned and rewritten in the same frame.
ast::Выражение* переписать_кроме_одного(const Контекст& контекст, ast::Выражение& выр) {
    using В = ast::Выражение;
    auto кроме_последнего = [&](auto&& список) -> В* {
        if (список.empty())
            return nullptr;
        for (std::size_t i = 0; i + 1 < список.size(); ++i)
            выражение(контекст, список[i]);
        return &список[список.size() - 1];
    };
    return std::visit(
        ast::Перегрузка{
            [](ast::один_из<В::ЦелоеЛит, В::ДробноеЛит, В::ТекстЛит, В::ВерноЛит, В::НеуказаноЛит,
                            В::Идентификатор> auto&) -> В* { return nullptr; },
            [&](В::ИнтерполированныйТекст& в) -> В* {
                В* последнее = nullptr;
                for (auto& фрагмент : в.фрагменты)
                    if (auto* часть = std::get_if<ast::ФрагментТекста::Выражение>(&фрагмент.вид)) {
                        if (последнее != nullptr)
                            выражение(контекст, *последнее);
                        последнее = &часть->выражение;
                    }
                return последнее;
            },
            [&](В::МассивЛит& в) { return кроме_последнего(в.элементы); },
            // Type arguments are never rewritten.
            [&](В::ВызовФункции& в) { return кроме_последнего(в.аргументы()); },
            [&](В::ДоступКПолю& в) { return &в.объект(); },
            [&](В::ВызовМетода& в) {
                for (auto& аргумент : в.аргументы())
                    выражение(контекст, аргумент);
                return &в.объект();
            },
            [&](В::ДоступПоИндексу& в) {
                выражение(контекст, *в.индекс);
                return &*в.массив;
            },
            // Chains lean left; their right operands are mostly names and
            // literals, which nothing changes.
            [&](В::Бинарное& в) {
                if (!ast::без_детей(в.правое()))
                    выражение(контекст, в.правое());
                return &в.левое();
            },
            [](В::Унарное& в) { return &*в.операнд; },
            [](ast::один_из<В::Проброс, В::Успех, В::Ошибка> auto& в) { return &*в.значение; },
        },
        выр.вид);
}

}  // namespace

void развернуть_индексы(std::vector<ast::ВерхнийУзел>& узлы) {
    using Узел = ast::ВерхнийУзел;
    Контекст контекст;
    for (const auto& узел : узлы) {
        std::visit(ast::Перегрузка{
                       [&](const Узел::Структура& структура) {
                           for (const auto& поле : структура.объявление.поля)
                               контекст.имена_полей.insert(поле.имя);
                           for (const auto& метод : структура.объявление.методы)
                               контекст.имена_методов.insert(метод.имя);
                       },
                       [&](const Узел::Контракт& контракт) {
                           for (const auto& метод : контракт.методы)
                               контекст.имена_методов.insert(метод.имя);
                       },
                       [](const ast::один_из<Узел::Подключение, Узел::Функция,
                                             Узел::ВнешняяФункция> auto&) {},
                   },
                   узел.вид);
    }
    for (auto& узел : узлы) {
        std::visit(
            ast::Перегрузка{
                [&](Узел::Структура& структура) {
                    for (auto& метод : структура.объявление.методы)
                        функция(контекст, метод);
                },
                [&](Узел::Функция& объявление) { функция(контекст, объявление.объявление); },
                // Nothing with a body.
                [](ast::один_из<Узел::Подключение, Узел::Контракт, Узел::ВнешняяФункция> auto&) {},
            },
            узел.вид);
    }
}

void собрать_имена(const ast::Блок& тело, Имена& имена) {
    if (ast::стек_исчерпан())
        return;
    using О = ast::Оператор;
    for (const auto& [оператор, строка] : тело) {
        std::visit(
            ast::Перегрузка{
                [&](const ast::один_из<О::ОбъявлениеПеременной, О::ОбъявлениеНеизменной> auto&
                        объявление) { имена.insert(объявление.имя()); },
                [&](const О::ДляКаждого& цикл) { имена.insert(цикл.переменная()); },
                [](const ast::один_из<О::Присваивание, О::ВыражениеОператор, О::Если, О::Пока,
                                      О::Вернуть, О::ПараллельныйБлок, О::Прервать,
                                      О::Продолжить> auto&) {},
            },
            оператор.вид);
        // Names declared in nested blocks count for the whole function.
        ast::обойти_детей(оператор,
                          ast::Перегрузка{
                              [&](const ast::Блок& вложенный) { собрать_имена(вложенный, имена); },
                              [](const ast::Выражение&) {},
                              [](const ast::МестоЗаписи&) {},
                              [](const ast::Тип&) {},
                          });
    }
}

// Past the stack's limit a walk goes no deeper; the parse it ends sees the
// stop and fails.
void блок(const Контекст& контекст, ast::Блок& тело) {
    if (ast::стек_исчерпан())
        return;
    for (auto& [оператор, строка] : тело)
        ast::обойти_детей(оператор, ast::Перегрузка{
                                        [&](ast::Выражение& в) { выражение(контекст, в); },
                                        [&](ast::МестоЗаписи& м) { место_записи(контекст, м); },
                                        [&](ast::Блок& б) { блок(контекст, б); },
                                        [](ast::Тип&) {},
                                    });
}

// A target keeps its shape; only the expressions of its index parts change.
// The chain of a target's fields and indices is walked in one frame.
void место_записи(const Контекст& контекст, ast::МестоЗаписи& место) {
    if (ast::стек_исчерпан())
        return;
    using М = ast::МестоЗаписи;
    for (М* часть = &место; часть != nullptr;)
        часть = std::visit(ast::Перегрузка{
                               [](М::Переменная&) -> М* { return nullptr; },
                               [](М::Поле& м) { return &*м.объект; },
                               [&](М::Индекс& м) {
                                   выражение(контекст, *м.индекс);
                                   return &*м.массив;
                               },
                           },
                           часть->вид);
}

void выражение(const Контекст& контекст, ast::Выражение& корень) {
    using В = ast::Выражение;
    if (std::holds_alternative<В::Идентификатор>(корень.вид) ||
        std::holds_alternative<В::ЦелоеЛит>(корень.вид) || ast::стек_исчерпан())
        return;
    for (В* выр = &корень; выр != nullptr;) {
        // Most nodes are literals and names: nothing below them, nothing to
        // turn them into.
        if (std::holds_alternative<В::Идентификатор>(выр->вид) ||
            std::holds_alternative<В::ЦелоеЛит>(выр->вид) ||
            std::holds_alternative<В::ТекстЛит>(выр->вид))
            return;
        // Only calls change.
        if (std::holds_alternative<В::ВызовФункции>(выр->вид) ||
            std::holds_alternative<В::ВызовМетода>(выр->вид))
            заменить(контекст, *выр);
        выр = переписать_кроме_одного(контекст, *выр);
    }
}

}  // namespace vokra::indexes
