#include "вокра_lsp/jsonrpc.hpp"

#include <fmt/format.h>
#include <simdjson.h>

#include "вокра_lsp/messages.hpp"

namespace vokra::lsp {

namespace {

bool допустимый_id(const nlohmann::json& id) {
    return id.is_string() || id.is_number_integer();
}

static_assert(simdjson::SIMDJSON_PADDING <= запас_после_тела);

// Bodies up to this size leave the decoder's buffers in place for the next:
// they come to about 14 times the body, so they are kept only for requests
// and small documents. After a larger body they are freed before its check
// starts, so the check reuses their pages; allocating them again costs little
// beside decoding.
constexpr std::size_t большое_тело = std::size_t{64} << 10;

// The value simdjson read, as the JSON value the rest of the server works
// with. Numbers keep the kinds nlohmann gives them: a non-negative integer is
// unsigned, a negative one signed.
nlohmann::json в_значение(simdjson::dom::element элемент) {
    switch (элемент.type()) {
        case simdjson::dom::element_type::ARRAY: {
            const simdjson::dom::array члены = элемент.get_array().value_unsafe();
            nlohmann::json массив = nlohmann::json::array();
            for (const auto член : члены)
                массив.push_back(в_значение(член));
            return массив;
        }
        case simdjson::dom::element_type::OBJECT: {
            const simdjson::dom::object члены = элемент.get_object().value_unsafe();
            nlohmann::json объект = nlohmann::json::object();
            // A repeated key keeps its last value, as nlohmann's parser does.
            for (const auto [ключ, член] : члены)
                объект[std::string(ключ)] = в_значение(член);
            return объект;
        }
        case simdjson::dom::element_type::INT64: {
            const std::int64_t число = элемент.get_int64().value_unsafe();
            if (число >= 0)
                return static_cast<std::uint64_t>(число);
            return число;
        }
        case simdjson::dom::element_type::UINT64:
            return элемент.get_uint64().value_unsafe();
        case simdjson::dom::element_type::DOUBLE:
            return элемент.get_double().value_unsafe();
        case simdjson::dom::element_type::STRING:
            return std::string(элемент.get_string().value_unsafe());
        case simdjson::dom::element_type::BOOL:
            return элемент.get_bool().value_unsafe();
        case simdjson::dom::element_type::NULL_VALUE:
            return nullptr;
    }
    return nullptr;
}

// A body as a JSON value; discarded when it is not JSON. simdjson reads it
// at gigabytes per second (nlohmann builds every text byte by byte); what
// simdjson refuses (nesting past its depth, numbers past 64 bits, and what
// is no JSON at all) is left to nlohmann, so the result is always the one
// nlohmann gives.
nlohmann::json прочитать_json(const std::string& тело) {
    // One parser per reading thread keeps its buffers from one body to the next.
    // A parser sized for a very large body gives its memory back after it.
    thread_local simdjson::dom::parser парсер;
    const bool есть_запас = тело.capacity() - тело.size() >= simdjson::SIMDJSON_PADDING;
    const auto элемент = парсер.parse(тело.data(), тело.size(), !есть_запас);
    nlohmann::json значение = элемент.error() == simdjson::SUCCESS
                                  ? в_значение(элемент.value_unsafe())
                                  : nlohmann::json::parse(тело, nullptr, false);
    if (парсер.capacity() > большое_тело)
        парсер = simdjson::dom::parser{};
    return значение;
}

}  // namespace

std::optional<Сообщение> разобрать_сообщение(const std::string& тело) {
    auto json = прочитать_json(тело);
    if (!json.is_object())
        return std::nullopt;
    const auto метод = json.find("method");
    const auto id = json.find("id");
    const auto параметры = json.find("params");
    nlohmann::json значение_параметров =
        параметры == json.end() ? nlohmann::json() : std::move(*параметры);
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
