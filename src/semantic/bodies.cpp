// Function and method bodies: the scope of the parameters, the return type
// and structure the statements are checked against, and the proof that a
// body with a return type returns a value on every path.
#include <utility>
#include <variant>

#include "ast/stack.hpp"
#include "semantic/analyser.hpp"
#include "semantic/messages.hpp"

namespace vokra::semantic {

namespace {

// The return type and the structure a body is checked against, set for the
// body and given back after it.
struct ОкружениеТела {
    std::optional<РешённыйТип> тип_возврата;
    std::optional<ИмяТипа> структура;

    static ОкружениеТела войти(СемантическийАнализатор& а, std::optional<РешённыйТип> возврат,
                               std::optional<ИмяТипа> структура) {
        а.области.войти();
        return {std::exchange(а.текущий_тип_возврата, std::move(возврат)),
                std::exchange(а.текущая_структура, std::move(структура))};
    }

    void выйти(СемантическийАнализатор& а) {
        а.текущий_тип_возврата = std::move(тип_возврата);
        а.текущая_структура = std::move(структура);
        а.области.выйти();
    }
};

std::optional<РешённыйТип> тип_возврата(const СемантическийАнализатор& а,
                                        const ast::ОбъявлениеФункции& функция) {
    if (!функция.тип_возврата)
        return std::nullopt;
    return а.разрешить_тип_параметра(*функция.тип_возврата);
}

bool гарантирует_возврат(const ast::Оператор& оператор) {
    if (const auto* вернуть = std::get_if<ast::Оператор::Вернуть>(&оператор.вид))
        return static_cast<bool>(вернуть->значение);
    if (const auto* если = std::get_if<ast::Оператор::Если>(&оператор.вид))
        return если->иначе() && блок_гарантирует_возврат(если->то()) &&
               блок_гарантирует_возврат(*если->иначе());
    // Only `пока (да)` without a `прервать` of its own never ends normally.
    if (const auto* пока = std::get_if<ast::Оператор::Пока>(&оператор.вид)) {
        const auto* условие = std::get_if<ast::Выражение::ВерноЛит>(&пока->условие().вид);
        return условие && условие->значение && !блок_содержит_прерывание(пока->тело());
    }
    return false;
}

// A `прервать` inside a nested loop leaves that loop only.
bool содержит_прерывание(const ast::Оператор& оператор) {
    if (std::holds_alternative<ast::Оператор::Прервать>(оператор.вид))
        return true;
    if (const auto* параллельно = std::get_if<ast::Оператор::ПараллельныйБлок>(&оператор.вид))
        return блок_содержит_прерывание(параллельно->тело);
    if (const auto* если = std::get_if<ast::Оператор::Если>(&оператор.вид))
        return блок_содержит_прерывание(если->то()) ||
               (если->иначе() && блок_содержит_прерывание(*если->иначе()));
    return false;
}

}  // namespace

// Past the stack's limit neither goes deeper; the check then ends with that
// stop.
bool блок_гарантирует_возврат(const ast::Блок& блок) {
    if (ast::стек_исчерпан()) [[unlikely]]
        return false;
    for (const auto& [оператор, строка] : блок)
        if (гарантирует_возврат(оператор))
            return true;
    return false;
}

bool блок_содержит_прерывание(const ast::Блок& блок) {
    if (ast::стек_исчерпан()) [[unlikely]]
        return false;
    for (const auto& [оператор, строка] : блок)
        if (содержит_прерывание(оператор))
            return true;
    return false;
}

Итог<void> СемантическийАнализатор::проверить_функцию(const ast::ОбъявлениеФункции& функция,
                                                      const СигнатураФункции* сигнатура) {
    auto возврат = сигнатура ? сигнатура->тип_возврата : тип_возврата(*this, функция);
    auto прежнее = ОкружениеТела::войти(*this, возврат, std::nullopt);
    for (std::size_t i = 0; i < функция.параметры.size(); ++i) {
        const auto& параметр = функция.параметры[i];
        if (сигнатура) {
            const auto& тип = сигнатура->параметры[i];
            if (тип.есть<РешённыйТип::Опциональный>())
                return ошибка(
                    fmt::format(сообщения::опциональный_параметр, функция.имя, параметр.имя));
            области.объявить_по_ссылке(параметр.имя, тип, false);
            continue;
        }
        auto тип = разрешить_тип_параметра(параметр.тип);
        if (тип.есть<РешённыйТип::Опциональный>())
            return ошибка(fmt::format(сообщения::опциональный_параметр, функция.имя, параметр.имя));
        области.объявить(параметр.имя, std::move(тип), false);
    }
    if (возврат && возврат->есть<РешённыйТип::Опциональный>())
        return ошибка(fmt::format(сообщения::опциональный_возврат, функция.имя));
    if (auto тело = проверить_блок(функция.тело); !тело)
        return тело;
    if (возврат && !блок_гарантирует_возврат(функция.тело))
        return ошибка(fmt::format(сообщения::функция_не_на_всех_путях, функция.имя));
    прежнее.выйти(*this);
    return {};
}

Итог<void> СемантическийАнализатор::проверить_метод(const ИмяТипа& структура,
                                                    const ast::ОбъявлениеФункции& метод,
                                                    const СигнатураМетода* сигнатура) {
    auto возврат = тип_возврата(*this, метод);
    auto прежнее = ОкружениеТела::войти(*this, возврат, структура);
    области.объявить("это", тип_структуры(структура), false);
    for (std::size_t i = 0; i < метод.параметры.size(); ++i) {
        const auto& параметр = метод.параметры[i];
        if (сигнатура && разрешается_как_написано(параметр.тип))
            области.объявить_по_ссылке(параметр.имя, сигнатура->параметры[i], false);
        else
            области.объявить(параметр.имя, разрешить_тип_параметра(параметр.тип), false);
    }
    if (auto тело = проверить_блок(метод.тело); !тело)
        return тело;
    if (возврат && !блок_гарантирует_возврат(метод.тело))
        return ошибка(fmt::format(сообщения::метод_не_на_всех_путях, метод.имя));
    прежнее.выйти(*this);
    return {};
}

}  // namespace vokra::semantic
