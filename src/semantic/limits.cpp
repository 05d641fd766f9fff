#include "semantic/limits.hpp"

#include <fmt/format.h>

#include <optional>
#include <string>
#include <variant>

#include "ast/walk.hpp"
#include "semantic/messages.hpp"
#include "semantic/overload.hpp"
#include "semantic/types.hpp"

namespace vokra::semantic {

namespace {

// Whether resolving the type builds a mangled name: a written generic type
// other than the built-in lists and dictionaries, anywhere inside it.
bool строит_имя(const ast::Тип& тип) {
    if (const auto* обобщённый = std::get_if<ast::Тип::Обобщённый>(&тип.вид)) {
        const auto параметров = обобщённый->параметры().size();
        if (параметров > 0 && !(обобщённый->имя() == "Список" && параметров == 1) &&
            !(обобщённый->имя() == "Словарь" && параметров == 2))
            return true;
    }
    bool строит = false;
    ast::обойти_детей(тип, [&](const ast::Тип& внутри) { строит = строит || строит_имя(внутри); });
    return строит;
}

// Counts the nodes of a tree; with `проверять_имена`, also resolves every
// written type that builds a mangled name, within the bound, and keeps the
// first generic whose name outgrows it.
struct Счёт {
    bool проверять_имена = false;
    std::size_t узлов = 0;
    std::optional<std::string> превысило;

    void operator()(const ast::Тип& тип) {
        узлов += узлов_типа(тип);
        if (!проверять_имена || превысило || !строит_имя(тип))
            return;
        if (auto решённый = преобразовать_тип_в_пределе(тип, предел_длины_типа); !решённый)
            превысило = std::move(решённый.error());
    }
    void operator()(const ast::Выражение& выражение) {
        ++узлов;
        ast::обойти_детей(выражение, *this);
    }
    void operator()(const ast::МестоЗаписи& место) {
        ++узлов;
        ast::обойти_детей(место, *this);
    }
    void operator()(const ast::Блок& блок) {
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
    std::size_t узлов = 1;
    ast::обойти_детей(тип, [&](const ast::Тип& внутри) { узлов += узлов_типа(внутри); });
    return узлов;
}

Итог<std::size_t> измерить_программу(const std::vector<ast::ВерхнийУзел>& узлы) {
    Счёт счёт{.проверять_имена = true, .узлов = 0, .превысило = std::nullopt};
    for (const auto& узел : узлы) {
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
