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

// A message the reader could not hold or decode for lack of memory, as far
// as the start of its body told: a request's id, the method, and of the
// parameters the document's address alone ({"textDocument":{"uri":…}}),
// so that it still gets the answer that says so.
struct БезПамяти {
    std::optional<ИдЗапроса> id;
    std::string метод;
    nlohmann::json параметры;  // null when the start named no document
};

using Сообщение = std::variant<Запрос, Ответ, Уведомление, БезПамяти>;

// Bytes of spare capacity after a body that let it be decoded in place.
inline constexpr std::size_t запас_после_тела = 64;

// Nothing when the body is not JSON or not a JSON-RPC message. Only what the
// server reads is decoded: the id, the method and the parameters as far as
// the protocol's decoders read them (protocol.hpp).
std::optional<Сообщение> разобрать_сообщение(const std::string& тело);

// Of a body that could not be held, this many bytes at its start are read
// to tell what it was. Clients write the id, the method and the document's
// address before its text.
inline constexpr std::size_t предел_опознания = 64 * 1024;

// The message that the start of a body names, as БезПамяти; nothing when it
// names no request or notification.
std::optional<Сообщение> опознать_начало(std::string_view начало);

// A decoded message reduced to its БезПамяти form, the rest of it freed;
// nothing for a response.
std::optional<Сообщение> без_памяти(Сообщение&& сообщение);

// How a message is named in the descriptions of protocol errors.
std::string описание(const Сообщение& сообщение);

// A notification of that method, also one that could not be held.
bool это_уведомление(const Сообщение& сообщение, std::string_view метод);

// Error codes of the answers the server gives with an error.
inline constexpr int код_неверные_параметры = -32602;
inline constexpr int код_внутренняя_ошибка = -32603;
inline constexpr int код_сервер_не_инициализирован = -32002;

nlohmann::json ответ_с_результатом(const ИдЗапроса& id, nlohmann::json результат);
nlohmann::json ответ_с_ошибкой(const ИдЗапроса& id, int код, std::string текст);
nlohmann::json уведомление(std::string метод, nlohmann::json параметры);

// Drops the elements of a JSON array one by one. nlohmann destroys a
// container by first moving all its children onto a vector of their number:
// for a long array that is an allocation sized by the text, inside a
// destructor, where running out of memory cannot be caught.
void отпустить_элементы(nlohmann::json& массив);

// The body text of an outgoing message: compact, object keys in byte order.
std::string в_тело(const nlohmann::json& сообщение);

}  // namespace vokra::lsp
