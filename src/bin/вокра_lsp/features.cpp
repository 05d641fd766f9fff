#include "вокра_lsp/features.hpp"

#include <fmt/format.h>

#include "ast/walk.hpp"
#include "parser/parser.hpp"
#include "вокра_lsp/messages.hpp"
#include "вокра_lsp/positions.hpp"
#include "вокра_lsp/signatures.hpp"
#include "вокра_lsp/word.hpp"
#include "подсказки/подсказки.hpp"

namespace vokra::lsp {

namespace ast = vokra::ast;
using vokra::подсказки::тип_в_текст;

namespace {

// Completion item kinds of the protocol.
constexpr int вид_функция = 3;
constexpr int вид_класс = 7;
constexpr int вид_интерфейс = 8;
constexpr int вид_ключевое_слово = 14;
constexpr int вид_структура = 22;

int вид_элемента(vokra::подсказки::ВидПодсказки вид) {
    switch (вид) {
        case vokra::подсказки::ВидПодсказки::Ключевое:
            return вид_ключевое_слово;
        case vokra::подсказки::ВидПодсказки::ТипДанных:
            return вид_класс;
        case vokra::подсказки::ВидПодсказки::ВстроеннаяФункция:
            return вид_функция;
    }
    return вид_ключевое_слово;
}

nlohmann::json элемент(std::string_view метка, int вид, std::string_view деталь) {
    return {{"label", метка}, {"kind", вид}, {"detail", деталь}};
}

// The completion item of one top-level declaration; imports have none.
std::optional<nlohmann::json> элемент_объявления(const ast::ВерхнийУзел& узел) {
    using Узел = ast::ВерхнийУзел;
    return std::visit(
        ast::Перегрузка{
            [](const Узел::Подключение&) -> std::optional<nlohmann::json> { return std::nullopt; },
            [](const Узел::Структура& с) -> std::optional<nlohmann::json> {
                const auto& объявление = с.объявление;
                return элемент(объявление.имя, вид_структура,
                               fmt::format(сообщения::деталь_структуры, объявление.поля.size()));
            },
            [](const Узел::Функция& ф) -> std::optional<nlohmann::json> {
                const auto& объявление = ф.объявление;
                return элемент(
                    объявление.имя, вид_функция,
                    fmt::format(сообщения::деталь_функции, параметры_в_текст(объявление.параметры),
                                возврат_в_текст(объявление.тип_возврата)));
            },
            [](const Узел::Контракт& к) -> std::optional<nlohmann::json> {
                return элемент(к.имя, вид_интерфейс,
                               fmt::format(сообщения::деталь_контракта, к.методы.size()));
            },
            [](const Узел::ВнешняяФункция& в) -> std::optional<nlohmann::json> {
                return элемент(
                    в.имя, вид_функция,
                    fmt::format(сообщения::деталь_внешней_функции, параметры_в_текст(в.параметры),
                                возврат_в_текст(в.тип_возврата)));
            },
        },
        узел.вид);
}

std::optional<std::string> hover_подсказки(const std::string& слово) {
    for (const auto& подсказка : vokra::подсказки::статические_подсказки()) {
        if (подсказка.метка != слово)
            continue;
        if (подсказка.пример.empty())
            return fmt::format(сообщения::подсказка, подсказка.метка, подсказка.описание);
        return fmt::format(сообщения::подсказка_с_примером, подсказка.метка, подсказка.описание,
                           подсказка.пример);
    }
    return std::nullopt;
}

// The first structure, structure method or function named `слово`, in
// source order: what hover and definition both look for.
struct Найденное {
    const ast::ОбъявлениеСтруктуры* структура = nullptr;
    const ast::ОбъявлениеФункции* функция = nullptr;  // with структура: its method
};

std::optional<Найденное> найти_объявление(const std::vector<ast::ВерхнийУзел>& узлы,
                                          const std::string& слово) {
    for (const auto& узел : узлы) {
        if (const auto* с = std::get_if<ast::ВерхнийУзел::Структура>(&узел.вид)) {
            if (с->объявление.имя == слово)
                return Найденное{&с->объявление, nullptr};
            for (const auto& метод : с->объявление.методы)
                if (метод.имя == слово)
                    return Найденное{&с->объявление, &метод};
        } else if (const auto* ф = std::get_if<ast::ВерхнийУзел::Функция>(&узел.вид)) {
            if (ф->объявление.имя == слово)
                return Найденное{nullptr, &ф->объявление};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<ast::ВерхнийУзел>> попытаться_разобрать(std::string_view текст) {
    auto узлы = vokra::parser::разобрать_исходный_текст(текст);
    if (!узлы)
        return std::nullopt;
    return std::move(*узлы);
}

std::optional<std::string> собрать_hover(std::string_view текст, std::uint32_t строка,
                                         std::uint32_t символ) {
    const auto слово = слово_под_курсором(текст, строка, символ);
    if (!слово)
        return std::nullopt;
    if (auto подсказка = hover_подсказки(*слово))
        return подсказка;
    const auto узлы = попытаться_разобрать(текст);
    if (!узлы)
        return std::nullopt;
    const auto найдено = найти_объявление(*узлы, *слово);
    if (!найдено)
        return std::nullopt;
    const auto* с = найдено->структура;
    const auto* ф = найдено->функция;
    if (ф == nullptr)
        return fmt::format(сообщения::структура, с->имя, поля_в_текст(с->поля));
    if (с != nullptr)
        return fmt::format(сообщения::метод, с->имя, ф->имя, параметры_в_текст(ф->параметры),
                           возврат_в_текст(ф->тип_возврата));
    return fmt::format(сообщения::функция, ф->имя, параметры_в_текст(ф->параметры),
                       возврат_в_текст(ф->тип_возврата));
}

nlohmann::json собрать_автодополнение(std::string_view текст) {
    auto элементы = nlohmann::json::array();
    for (const auto& подсказка : vokra::подсказки::статические_подсказки()) {
        auto э = элемент(подсказка.метка, вид_элемента(подсказка.вид), подсказка.описание);
        if (!подсказка.пример.empty())
            э["documentation"] = подсказка.пример;
        элементы.push_back(std::move(э));
    }
    if (const auto узлы = попытаться_разобрать(текст))
        for (const auto& узел : *узлы)
            if (auto э = элемент_объявления(узел))
                элементы.push_back(std::move(*э));
    return элементы;
}

nlohmann::json построить_location_ответ(const std::string& uri, std::string_view текст,
                                        std::optional<ast::Позиция> позиция) {
    if (!позиция)
        return nullptr;
    auto в_протокол = [](std::size_t n) {
        return static_cast<std::uint32_t>(std::min<std::size_t>(n > 0 ? n - 1 : 0, UINT32_MAX));
    };
    const Позиция точка =
        позиция_в_utf16(текст, Позиция{в_протокол(позиция->строка), в_протокол(позиция->столбец)});
    return {{"uri", uri}, {"range", в_json(Диапазон{точка, точка})}};
}

nlohmann::json ответ_hover(std::string_view текст, Позиция позиция) {
    const auto hover = собрать_hover(текст, позиция.строка, позиция.символ);
    if (!hover)
        return nullptr;
    return {{"contents", {{"kind", "markdown"}, {"value", *hover}}}};
}

nlohmann::json ответ_автодополнение(std::string_view текст) {
    return собрать_автодополнение(текст);
}

nlohmann::json ответ_определение(const std::string& uri, std::string_view текст, Позиция позиция) {
    const auto слово = слово_под_курсором(текст, позиция.строка, позиция.символ);
    if (!слово)
        return nullptr;
    const auto узлы = попытаться_разобрать(текст);
    if (!узлы)
        return nullptr;
    const auto найдено = найти_объявление(*узлы, *слово);
    if (!найдено)
        return nullptr;
    const auto& позиция_объявления =
        найдено->функция ? найдено->функция->позиция : найдено->структура->позиция;
    return построить_location_ответ(uri, текст, позиция_объявления);
}

}  // namespace vokra::lsp
