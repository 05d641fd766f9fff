// JSON-RPC messages: the classification of an incoming body into a request,
// a response or a notification, and the bodies the server sends.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vokra::lsp {

// A request id is a JSON integer or string, kept as it came so that the
// answer echoes it unchanged.
using ИдЗапроса = nlohmann::json;

struct Запрос {
    ИдЗапроса id;
    std::string метод;
    nlohmann::json параметры;  // null when absent
};

// The server sends no requests, so only the fact of a response matters.
struct Ответ {};

struct Уведомление {
    std::string метод;
    nlohmann::json параметры;  // null when absent
};

using Сообщение = std::variant<Запрос, Ответ, Уведомление>;

// Bytes of spare capacity after a body that let it be decoded in place.
inline constexpr std::size_t запас_после_тела = 64;

// Nothing when the body is not JSON or not a JSON-RPC message.
std::optional<Сообщение> разобрать_сообщение(const std::string& тело);

// How a message is named in the descriptions of protocol errors.
std::string описание(const Сообщение& сообщение);

bool это_уведомление(const Сообщение& сообщение, std::string_view метод);

// Error codes of the answers the server gives with an error.
inline constexpr int код_неверные_параметры = -32602;
inline constexpr int код_сервер_не_инициализирован = -32002;

nlohmann::json ответ_с_результатом(const ИдЗапроса& id, nlohmann::json результат);
nlohmann::json ответ_с_ошибкой(const ИдЗапроса& id, int код, std::string текст);
nlohmann::json уведомление(std::string метод, nlohmann::json параметры);

// The body text of an outgoing message: compact, object keys in byte order.
std::string в_тело(const nlohmann::json& сообщение);

}  // namespace vokra::lsp
