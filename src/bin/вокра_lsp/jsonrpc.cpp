#include "вокра_lsp/jsonrpc.hpp"

#include <fmt/format.h>

#include <array>

#include "ast/overload.hpp"
#include "вокра_lsp/json_reader.hpp"
#include "вокра_lsp/messages.hpp"
#include "вокра_lsp/protocol.hpp"

namespace vokra::lsp {

namespace {

bool допустимый_id(const nlohmann::json& id) {
    return id.is_string() || id.is_number_integer();
}

using Член = ФормаЧтения::Член;

// The members of a message the server reads, the parameters as `параметры`.
struct ФормаСообщения {
    std::array<Член, 3> члены;
    ФормаЧтения форма{члены};

    explicit ФормаСообщения(const ФормаЧтения& параметры)
        : члены{{{"id", &только_вид}, {"method", &только_вид}, {"params", &параметры}}} {}
    ФормаСообщения(const ФормаСообщения&) = delete;
};

const ФормаЧтения& форма_сообщения() {
    static const ФормаСообщения форма{читаемое_в_параметрах()};
    return форма.форма;
}

const ФормаЧтения& форма_опознания() {
    static const ФормаСообщения форма{читаемое_в_адресе()};
    return форма.форма;
}

// The message of a JSON value read by one of the forms above.
std::optional<Сообщение> сообщение_из(nlohmann::json json, bool без_памяти) {
    if (!json.is_object())
        return std::nullopt;
    const auto метод = json.find("method");
    const auto id = json.find("id");
    const auto параметры = json.find("params");
    nlohmann::json значение_параметров =
        параметры == json.end() ? nlohmann::json() : std::move(*параметры);
    if (метод == json.end()) {
        if (id == json.end() || без_памяти)
            return std::nullopt;
        return Ответ{};
    }
    if (!метод->is_string())
        return std::nullopt;
    auto имя = std::move(метод->get_ref<std::string&>());
    if (id != json.end() && !допустимый_id(*id))
        return std::nullopt;
    std::optional<ИдЗапроса> номер;
    if (id != json.end())
        номер = std::move(*id);
    if (без_памяти)
        return БезПамяти{std::move(номер), std::move(имя), std::move(значение_параметров)};
    if (!номер)
        return Уведомление{std::move(имя), std::move(значение_параметров)};
    return Запрос{std::move(*номер), std::move(имя), std::move(значение_параметров)};
}

// {"textDocument":{"uri":…}} moved out of parameters, or null.
nlohmann::json адрес_документа(nlohmann::json& параметры) {
    if (!параметры.is_object())
        return nullptr;
    const auto документ = параметры.find("textDocument");
    if (документ == параметры.end() || !документ->is_object())
        return nullptr;
    const auto адрес = документ->find("uri");
    if (адрес == документ->end())
        return nullptr;
    return {{"textDocument", {{"uri", std::move(*адрес)}}}};
}

}  // namespace

std::optional<Сообщение> разобрать_сообщение(const std::string& тело) {
    return сообщение_из(прочитать_json(тело, форма_сообщения()), false);
}

std::optional<Сообщение> опознать_начало(std::string_view начало) {
    return сообщение_из(
        прочитать_начало_json(начало.substr(0, предел_опознания), форма_опознания()), true);
}

std::optional<Сообщение> без_памяти(Сообщение&& сообщение) {
    return std::visit(
        ast::Перегрузка{
            [](Запрос& з) -> std::optional<Сообщение> {
                return БезПамяти{std::move(з.id), std::move(з.метод), адрес_документа(з.параметры)};
            },
            [](Ответ&) -> std::optional<Сообщение> { return std::nullopt; },
            [](Уведомление& у) -> std::optional<Сообщение> {
                return БезПамяти{std::nullopt, std::move(у.метод), адрес_документа(у.параметры)};
            },
            [](БезПамяти& б) -> std::optional<Сообщение> { return std::move(б); },
        },
        сообщение);
}

std::string описание(const Сообщение& сообщение) {
    if (const auto* запрос = std::get_if<Запрос>(&сообщение))
        return fmt::format(сообщения::запрос, запрос->метод);
    if (const auto* у = std::get_if<Уведомление>(&сообщение))
        return fmt::format(сообщения::уведомление, у->метод);
    if (const auto* б = std::get_if<БезПамяти>(&сообщение))
        return б->id ? fmt::format(сообщения::запрос, б->метод)
                     : fmt::format(сообщения::уведомление, б->метод);
    return fmt::format(сообщения::ответ);
}

bool это_уведомление(const Сообщение& сообщение, std::string_view метод) {
    if (const auto* у = std::get_if<Уведомление>(&сообщение))
        return у->метод == метод;
    const auto* б = std::get_if<БезПамяти>(&сообщение);
    return б != nullptr && !б->id && б->метод == метод;
}

nlohmann::json ответ_с_результатом(const ИдЗапроса& id, nlohmann::json результат) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(результат)}};
}

nlohmann::json ответ_с_ошибкой(const ИдЗапроса& id, int код, std::string текст) {
    return {
        {"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", код}, {"message", std::move(текст)}}}};
}

nlohmann::json уведомление(std::string метод, nlohmann::json параметры) {
    return {{"jsonrpc", "2.0"}, {"method", std::move(метод)}, {"params", std::move(параметры)}};
}

void отпустить_элементы(nlohmann::json& массив) {
    if (!массив.is_array())
        return;
    auto& элементы = массив.get_ref<nlohmann::json::array_t&>();
    while (!элементы.empty())
        элементы.pop_back();
}

std::string в_тело(const nlohmann::json& сообщение) {
    // Texts come from parsed JSON or from the server itself and are valid
    // UTF-8; replacing keeps a stray invalid byte from throwing.
    return сообщение.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace vokra::lsp
