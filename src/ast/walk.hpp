// The direct children of a syntax-tree node, for every pass that walks the
// tree. Each function below handles every alternative of its node's variant
// by name, with no catch-all, so a node kind added later stops the build here
// until its children are listed.
//
// The visitor is called once per direct child, in source order, with the
// child's category: Выражение, Тип, МестоЗаписи or Блок (a body; its
// statements are the elements of the list). It must accept every category
// the node can hold; a category it has nothing to do with takes an empty
// overload, so adding a category to a node kind is a build error too. The
// node may be const or mutable; the children come with the same constness.
#pragma once

#include <concepts>
#include <cstddef>
#include <iterator>
#include <type_traits>
#include <variant>

#include "ast/ast.hpp"
#include "ast/overload.hpp"

namespace vokra::ast {

// T, const or not, is one of the listed alternatives: one overload for
// several named kinds that are handled alike.
template <class T, class... Варианты>
concept один_из = (std::same_as<std::remove_const_t<T>, Варианты> || ...);

// Whether an expression has no children: a literal or a name, as most
// operands are, which a walk may then take without going into it. A kind
// added later counts as having children, so it is walked.
inline bool без_детей(const Выражение& выражение) {
    using В = Выражение;
    const auto& вид = выражение.вид;
    return std::holds_alternative<В::Идентификатор>(вид) ||
           std::holds_alternative<В::ЦелоеЛит>(вид) || std::holds_alternative<В::ДробноеЛит>(вид) ||
           std::holds_alternative<В::ТекстЛит>(вид) || std::holds_alternative<В::ВерноЛит>(вид) ||
           std::holds_alternative<В::НеуказаноЛит>(вид);
}

// Type arguments of calls and method calls, then the other children.
template <class Узел, class Посетитель>
requires std::same_as<std::remove_const_t<Узел>, Выражение>
void обойти_детей(Узел& выражение, Посетитель&& посетитель) {
    using В = Выражение;
    auto все = [&](auto&& список) {
        for (auto& элемент : список)
            посетитель(элемент);
    };
    std::visit(
        Перегрузка{
            [](один_из<В::ЦелоеЛит, В::ДробноеЛит, В::ТекстЛит, В::ВерноЛит, В::НеуказаноЛит,
                       В::Идентификатор> auto&) {},
            [&](один_из<В::ИнтерполированныйТекст> auto& в) {
                for (auto& фрагмент : в.фрагменты)
                    std::visit(Перегрузка{[](один_из<ФрагментТекста::Текст> auto&) {},
                                          [&](один_из<ФрагментТекста::Выражение> auto& часть) {
                                              посетитель(часть.выражение);
                                          }},
                               фрагмент.вид);
            },
            [&](один_из<В::МассивЛит> auto& в) { все(в.элементы); },
            [&](один_из<В::ВызовФункции> auto& в) {
                все(в.типовые_параметры());
                все(в.аргументы());
            },
            [&](один_из<В::ДоступКПолю> auto& в) { посетитель(в.объект()); },
            [&](один_из<В::ВызовМетода> auto& в) {
                посетитель(в.объект());
                все(в.типовые_параметры());
                все(в.аргументы());
            },
            [&](один_из<В::ДоступПоИндексу> auto& в) {
                посетитель(*в.массив);
                посетитель(*в.индекс);
            },
            [&](один_из<В::Бинарное> auto& в) {
                посетитель(в.левое());
                посетитель(в.правое());
            },
            [&](один_из<В::Унарное> auto& в) { посетитель(*в.операнд); },
            [&](один_из<В::Проброс, В::Успех, В::Ошибка> auto& в) { посетитель(*в.значение); },
        },
        выражение.вид);
}

// The same children in the same order, but the last when it is an
// expression: that one is returned, not visited, for the caller to go into
// in its own frame, so that a chain or nest through one child takes no frame
// per level. Null when the last child is not an expression.
template <class Узел, class Посетитель>
requires std::same_as<std::remove_const_t<Узел>, Выражение> Узел* обойти_детей_кроме_последнего(
    Узел& выражение, Посетитель&& посетитель) {
    using В = Выражение;
    auto кроме_последнего = [&](auto&& список) -> Узел* {
        const std::size_t размер = std::size(список);
        if (размер == 0)
            return nullptr;
        for (std::size_t i = 0; i + 1 < размер; ++i)
            посетитель(список[i]);
        return &список[размер - 1];
    };
    return std::visit(
        Перегрузка{
            [](один_из<В::ЦелоеЛит, В::ДробноеЛит, В::ТекстЛит, В::ВерноЛит, В::НеуказаноЛит,
                       В::Идентификатор> auto&) -> Узел* { return nullptr; },
            [&](один_из<В::ИнтерполированныйТекст> auto& в) -> Узел* {
                Узел* последний = nullptr;
                for (auto& фрагмент : в.фрагменты)
                    if (auto* часть = std::get_if<ФрагментТекста::Выражение>(&фрагмент.вид)) {
                        if (последний != nullptr)
                            посетитель(*последний);
                        последний = &часть->выражение;
                    }
                return последний;
            },
            [&](один_из<В::МассивЛит> auto& в) { return кроме_последнего(в.элементы); },
            [&](один_из<В::ВызовФункции> auto& в) {
                for (auto& тип : в.типовые_параметры())
                    посетитель(тип);
                return кроме_последнего(в.аргументы());
            },
            [&](один_из<В::ДоступКПолю> auto& в) -> Узел* { return &в.объект(); },
            [&](один_из<В::ВызовМетода> auto& в) -> Узел* {
                if (в.типовые_параметры().empty() && в.аргументы().empty())
                    return &в.объект();
                посетитель(в.объект());
                for (auto& тип : в.типовые_параметры())
                    посетитель(тип);
                return кроме_последнего(в.аргументы());
            },
            [&](один_из<В::ДоступПоИндексу> auto& в) -> Узел* {
                посетитель(*в.массив);
                return &*в.индекс;
            },
            [&](один_из<В::Бинарное> auto& в) -> Узел* {
                посетитель(в.левое());
                return &в.правое();
            },
            [](один_из<В::Унарное> auto& в) -> Узел* { return &*в.операнд; },
            [](один_из<В::Проброс, В::Успех, В::Ошибка> auto& в) -> Узел* { return &*в.значение; },
        },
        выражение.вид);
}

template <class Узел, class Посетитель>
requires std::same_as<std::remove_const_t<Узел>, Тип>
void обойти_детей(Узел& тип, Посетитель&& посетитель) {
    using Т = Тип;
    std::visit(
        Перегрузка{
            [](один_из<Т::Целое, Т::Целое8, Т::Целое16, Т::Целое32, Т::Целое64, Т::Беззнак8,
                       Т::Беззнак16, Т::Беззнак32, Т::Беззнак64, Т::Дробное, Т::Дробное32,
                       Т::Дробное64, Т::Текст, Т::Верно, Т::Пользовательский> auto&) {},
            [&](один_из<Т::Обобщённый> auto& т) {
                for (auto& параметр : т.параметры())
                    посетитель(параметр);
            },
            [&](один_из<Т::Массив> auto& т) { посетитель(*т.элемент); },
            [&](один_из<Т::Опциональный, Т::Результат, Т::Канал> auto& т) { посетитель(*т.тип); },
        },
        тип.вид);
}

template <class Узел, class Посетитель>
requires std::same_as<std::remove_const_t<Узел>, МестоЗаписи>
void обойти_детей(Узел& место, Посетитель&& посетитель) {
    using М = МестоЗаписи;
    std::visit(Перегрузка{
                   [](один_из<М::Переменная> auto&) {},
                   [&](один_из<М::Поле> auto& м) { посетитель(*м.объект); },
                   [&](один_из<М::Индекс> auto& м) {
                       посетитель(*м.массив);
                       посетитель(*м.индекс);
                   },
               },
               место.вид);
}

// The children of a statement; the blocks of Если come as `то`, then `иначе`.
template <class Узел, class Посетитель>
requires std::same_as<std::remove_const_t<Узел>, Оператор>
void обойти_детей(Узел& оператор, Посетитель&& посетитель) {
    using О = Оператор;
    std::visit(Перегрузка{
                   [&](один_из<О::ОбъявлениеПеременной, О::ОбъявлениеНеизменной> auto& о) {
                       посетитель(о.тип());
                       посетитель(о.значение());
                   },
                   [&](один_из<О::Присваивание> auto& о) {
                       посетитель(о.цель());
                       посетитель(о.значение());
                   },
                   [&](один_из<О::ВыражениеОператор> auto& о) { посетитель(о.выражение); },
                   [&](один_из<О::Если> auto& о) {
                       посетитель(о.условие());
                       посетитель(о.то());
                       if (о.иначе())
                           посетитель(*о.иначе());
                   },
                   [&](один_из<О::ДляКаждого> auto& о) {
                       посетитель(о.коллекция());
                       посетитель(о.тело());
                   },
                   [&](один_из<О::Пока> auto& о) {
                       посетитель(о.условие());
                       посетитель(о.тело());
                   },
                   [&](один_из<О::Вернуть> auto& о) {
                       if (о.значение)
                           посетитель(*о.значение);
                   },
                   [&](один_из<О::ПараллельныйБлок> auto& о) { посетитель(о.тело); },
                   [](один_из<О::Прервать, О::Продолжить> auto&) {},
               },
               оператор.вид);
}

}  // namespace vokra::ast
