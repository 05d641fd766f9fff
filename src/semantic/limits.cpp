#include "semantic/limits.hpp"

#include <fmt/format.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ast/stack.hpp"
#include "ast/walk.hpp"
#include "semantic/messages.hpp"
#include "semantic/overload.hpp"
#include "semantic/types.hpp"

namespace vokra::semantic {

namespace {

// The nodes of a written type, and whether resolving it builds a mangled
// name anywhere inside it, found in one walk. The walks here, like every
// walk of a check, go no deeper past the stack's limit; the check then ends
// with that stop.
struct ОбходТипа {
    std::size_t узлов = 0;
    bool строит_имя = false;

    void operator()(const ast::Тип& тип) {
        if (ast::стек_исчерпан()) [[unlikely]]
            return;
        ++узлов;
        if (const auto* обобщённый = std::get_if<ast::Тип::Обобщённый>(&тип.вид))
            строит_имя = строит_имя || имя_экземпляра(*обобщённый);
        ast::обойти_детей(тип, *this);
    }
};

// Counts the nodes of a tree; with `проверять_имена`, also measures the
// mangled names of every written type that builds one, and keeps the first
// generic whose name outgrows the bound.
struct Счёт {
    bool проверять_имена = false;
    std::size_t узлов = 0;
    std::optional<std::string> превысило;
    // The right operands of the binary operators whose left is being
    // counted, innermost last: one list for the whole walk.
    std::vector<const ast::Выражение*> правые;

    void operator()(const ast::Тип& тип) {
        ОбходТипа обход;
        обход(тип);
        узлов += обход.узлов;
        if (!проверять_имена || превысило || !обход.строит_имя)
            return;
        превысило = превышает_предел_имени(тип, предел_длины_типа);
    }
    // The last child of each node is gone into in this frame, and so is the
    // left operand of a binary operator, down which its chains lean: its
    // right operand waits in `правые` until everything on its left is
    // counted, so the nodes come in the recursion's order with no frame per
    // level. One frame asks for the stack once.
    void operator()(const ast::Выражение& выражение) {
        // A name or a literal, as most statements and operands are, is
        // counted at once.
        if (ast::без_детей(выражение)) {
            ++узлов;
            return;
        }
        if (ast::стек_исчерпан()) [[unlikely]]
            return;
        const std::size_t своих_от = правые.size();
        for (const ast::Выражение* узел = &выражение;;) {
            if (узел == nullptr) {
                if (правые.size() == своих_от)
                    return;
                узел = правые.back();
                правые.pop_back();
            }
            ++узлов;
            if (const auto* бинарное = std::get_if<ast::Выражение::Бинарное>(&узел->вид)) {
                // A name or a literal on the right is counted at once.
                if (ast::без_детей(бинарное->правое()))
                    ++узлов;
                else
                    правые.push_back(&бинарное->правое());
                узел = &бинарное->левое();
            } else {
                узел = ast::обойти_детей_кроме_последнего(*узел, *this);
            }
        }
    }
    void operator()(const ast::МестоЗаписи& место) {
        if (ast::стек_исчерпан()) [[unlikely]]
            return;
        ++узлов;
        ast::обойти_детей(место, *this);
    }
    void operator()(const ast::Блок& блок) {
        if (ast::стек_исчерпан()) [[unlikely]]
            return;
        for (const auto& [оператор, строка] : блок) {
            ++узлов;
            ast::обойти_детей(оператор, *this);
        }
    }
    void параметры(const std::vector<ast::Параметр>& параметры,
                   const std::optional<ast::Тип>& тип_возврата) {
        for (const auto& параметр : параметры)
            (*this)(параметр.тип);
        if (тип_возврата)
            (*this)(*тип_возврата);
    }
    void operator()(const ast::ОбъявлениеФункции& функция) {
        параметры(функция.параметры, функция.тип_возврата);
        (*this)(функция.тело);
    }
    void operator()(const ast::ОбъявлениеСтруктуры& структура) {
        for (const auto& поле : структура.поля)
            (*this)(поле.тип);
        for (const auto& метод : структура.методы)
            (*this)(метод);
    }
};

}  // namespace

std::size_t узлов_типа(const ast::Тип& тип) {
    ОбходТипа обход;
    обход(тип);
    return обход.узлов;
}

Итог<std::size_t> измерить_программу(const std::vector<ast::ВерхнийУзел>& узлы,
                                     std::vector<std::size_t>* узлов_узла) {
    Счёт счёт{.проверять_имена = true, .узлов = 0, .превысило = std::nullopt, .правые = {}};
    if (узлов_узла != nullptr)
        узлов_узла->reserve(узлы.size());
    for (const auto& узел : узлы) {
        const std::size_t до = счёт.узлов;
        using В = ast::ВерхнийУзел;
        std::visit(
            Перегрузка{
                [](const В::Подключение&) {},
                [&](const В::Структура& с) { счёт(с.объявление); },
                [&](const В::Функция& ф) { счёт(ф.объявление); },
                [&](const В::Контракт& к) {
                    for (const auto& метод : к.методы)
                        счёт.параметры(метод.параметры, метод.тип_возврата);
                },
                [&](const В::ВнешняяФункция& в) { счёт.параметры(в.параметры, в.тип_возврата); },
            },
            узел.вид);
        if (счёт.превысило)
            return превышен_предел(*счёт.превысило);
        if (узлов_узла != nullptr)
            узлов_узла->push_back(счёт.узлов - до);
    }
    return счёт.узлов;
}

std::size_t размер_шаблона(const ast::ОбъявлениеФункции& функция) {
    Счёт счёт;
    счёт(функция);
    return счёт.узлов;
}

std::size_t размер_шаблона(const ast::ОбъявлениеСтруктуры& структура) {
    Счёт счёт;
    счёт(структура);
    return счёт.узлов;
}

tl::unexpected<ОшибкаАнализатора> превышен_предел(std::string_view обобщение) {
    return ошибка(fmt::format(сообщения::предел_инстанциаций, обобщение));
}

}  // namespace vokra::semantic
