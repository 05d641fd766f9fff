#include "вокра_lsp/jsonrpc.hpp"

#include <fmt/format.h>

#include "вокра_lsp/messages.hpp"

namespace vokra::lsp {

namespace {

bool допустимый_id(const nlohmann::json& id) {
    return id.is_string() || id.is_number_integer();
}

}  // namespace

std::optional<Сообщение> разобрать_сообщение(std::string_view тело) {
    const auto json = nlohmann::json::parse(тело, nullptr, false);
    if (!json.is_object())
        return std::nullopt;
    const auto метод = json.find("method");
    const auto id = json.find("id");
    const auto параметры = json.find("params");
    nlohmann::json значение_параметров = параметры == json.end() ? nlohmann::json() : *параметры;
    if (метод == json.end()) {
        if (id == json.end())
            return std::nullopt;
        return Ответ{};
    }
    if (!метод->is_string())
        return std::nullopt;
    if (id == json.end())
        return Уведомление{метод->get<std::string>(), std::move(значение_параметров)};
    if (!допустимый_id(*id))
        return std::nullopt;
    return Запрос{*id, метод->get<std::string>(), std::move(значение_параметров)};
}

std::string описание(const Сообщение& сообщение) {
    if (const auto* запрос = std::get_if<Запрос>(&сообщение))
        return fmt::format(сообщения::запрос, запрос->метод);
    if (const auto* у = std::get_if<Уведомление>(&сообщение))
        return fmt::format(сообщения::уведомление, у->метод);
    return fmt::format(сообщения::ответ);
}

bool это_уведомление(const Сообщение& сообщение, std::string_view метод) {
    const auto* у = std::get_if<Уведомление>(&сообщение);
    return у != nullptr && у->метод == метод;
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

std::string в_тело(const nlohmann::json& сообщение) {
    // Texts come from parsed JSON or from the server itself and are valid
    // UTF-8; replacing keeps a stray invalid byte from throwing.
    return сообщение.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace vokra::lsp
