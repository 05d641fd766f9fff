#include "вокра_lsp/requests.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "вокра_lsp/features.hpp"
#include "вокра_lsp/messages.hpp"
#include "вокра_lsp/positions.hpp"
#include "вокра_lsp/protocol.hpp"

namespace vokra::lsp {

namespace {

// One answer of a method whose parameters name a position in a document; the
// result JSON goes back to the client.
using Ответчик = nlohmann::json (*)(const Документы&, const ПараметрыПозицииДокумента&);

// The stored text of the document; a document that is not open is empty.
std::string_view текст_документа(const Документы& документы, const std::string& uri) {
    const auto найден = документы.find(uri);
    return найден == документы.end() ? std::string_view() : std::string_view(найден->second);
}

nlohmann::json hover(const Документы& документы, const ПараметрыПозицииДокумента& параметры) {
    const auto текст = текст_документа(документы, параметры.uri);
    return ответ_hover(текст, позиция_в_символах(текст, параметры.позиция));
}

nlohmann::json автодополнение(const Документы& документы,
                              const ПараметрыПозицииДокумента& параметры) {
    return ответ_автодополнение(текст_документа(документы, параметры.uri));
}

nlohmann::json определение(const Документы& документы, const ПараметрыПозицииДокумента& параметры) {
    const auto текст = текст_документа(документы, параметры.uri);
    return ответ_определение(параметры.uri, текст, позиция_в_символах(текст, параметры.позиция));
}

struct ОбработчикЗапроса {
    std::string_view метод;
    Ответчик ответчик;
};

constexpr std::array<ОбработчикЗапроса, 3> обработчики{{
    {"textDocument/hover", hover},
    {"textDocument/completion", автодополнение},
    {"textDocument/definition", определение},
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
    auto ответ = ответ_с_результатом(запрос.id, обработчик->ответчик(документы, *параметры));
    auto итог = отправитель.отправить(ответ);
    // A completion list has an item for every declaration of the text.
    отпустить_элементы(ответ["result"]);
    return итог;
}

}  // namespace vokra::lsp
