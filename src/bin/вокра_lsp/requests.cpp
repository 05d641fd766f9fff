#include "requests.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "messages.hpp"
#include "protocol.hpp"

namespace вокра_lsp {

namespace {

// One answer of a method whose parameters name a position in a document; the
// result JSON goes back to the client.
using Ответчик = nlohmann::json (*)(const Документы&, const ПараметрыПозицииДокумента&);

nlohmann::json без_ответа(const Документы&, const ПараметрыПозицииДокумента&) {
    return nullptr;
}

struct ОбработчикЗапроса {
    std::string_view метод;
    Ответчик ответчик;
};

constexpr std::array<ОбработчикЗапроса, 3> обработчики{{
    {"textDocument/hover", без_ответа},
    {"textDocument/completion", без_ответа},
    {"textDocument/definition", без_ответа},
}};

}  // namespace

tl::expected<void, ОшибкаСервера> ответить_пусто(const Отправитель& отправитель,
                                                 const ИдЗапроса& id) {
    return отправитель.отправить(ответ_с_результатом(id, nullptr));
}

tl::expected<void, ОшибкаСервера> обработать_запрос(const Отправитель& отправитель,
                                                    const Документы& документы,
                                                    const Запрос& запрос) {
    const auto обработчик = std::ranges::find(обработчики, запрос.метод, &ОбработчикЗапроса::метод);
    if (обработчик == обработчики.end())
        return ответить_пусто(отправитель, запрос.id);
    const auto параметры = параметры_позиции_из_json(запрос.параметры);
    if (!параметры)
        return отправитель.отправить(ответ_с_ошибкой(
            запрос.id, код_неверные_параметры,
            fmt::format(сообщения::неверные_параметры_запроса, запрос.метод, параметры.error())));
    return отправитель.отправить(
        ответ_с_результатом(запрос.id, обработчик->ответчик(документы, *параметры)));
}

}  // namespace вокра_lsp
