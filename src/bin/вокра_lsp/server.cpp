#include "вокра_lsp/server.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstddef>
#include <new>
#include <optional>

#include "ast/overload.hpp"
#include "вокра_lsp/diagnostics.hpp"
#include "вокра_lsp/documents.hpp"
#include "вокра_lsp/memory.hpp"
#include "вокра_lsp/messages.hpp"
#include "вокра_lsp/protocol.hpp"
#include "вокра_lsp/requests.hpp"
#include "вокра_lsp/transport.hpp"
#include "вокра_lsp/worker.hpp"

namespace vokra::lsp {

namespace {

using Итог = tl::expected<void, ОшибкаСервера>;

tl::unexpected<ОшибкаСервера> ошибка(std::string описание) {
    return tl::unexpected(ОшибкаСервера{std::move(описание)});
}

// The id of a request, also of one that could not be held; null for a
// notification or a response.
const ИдЗапроса* id_запроса(const Сообщение& сообщение) {
    if (const auto* запрос = std::get_if<Запрос>(&сообщение))
        return &запрос->id;
    if (const auto* б = std::get_if<БезПамяти>(&сообщение); б != nullptr && б->id)
        return &*б->id;
    return nullptr;
}

// The answer to a request whose work ran out of memory.
Итог ответить_нехваткой(const Отправитель& отправитель, const ИдЗапроса& id) {
    return отправитель.отправить(
        ответ_с_ошибкой(id, код_внутренняя_ошибка, fmt::format(сообщения::запрос_без_памяти)));
}

// A request's memory error, when memory ran out in the work on `сообщение`
// itself. Nothing more can be done once even that does not fit.
Итог ответить_нехваткой_на_запрос(const Отправитель& отправитель, const Сообщение& сообщение) {
    try {
        if (const auto* id = id_запроса(сообщение))
            return ответить_нехваткой(отправитель, *id);
    } catch (const std::bad_alloc&) {
    }
    return {};
}

// One message while the server waits for `initialize`: every other request
// is answered with "server not initialized" and everything else is ignored.
// An initialize whose parameters do not decode gets an invalid-params error;
// one that decodes is answered with the capabilities and its parameters are
// kept in `параметры`.
Итог до_инициализации(const Отправитель& отправитель, const Сообщение& сообщение,
                      std::optional<ПараметрыИнициализации>& параметры) {
    if (const auto* б = std::get_if<БезПамяти>(&сообщение); б != nullptr && б->id)
        return ответить_нехваткой(отправитель, *б->id);
    const auto* запрос = std::get_if<Запрос>(&сообщение);
    if (запрос == nullptr)
        return {};
    if (запрос->метод != "initialize")
        return отправитель.отправить(
            ответ_с_ошибкой(запрос->id, код_сервер_не_инициализирован,
                            fmt::format(сообщения::ожидался_initialize, описание(сообщение))));
    // Parameters that do not decode are refused like those of any other
    // request; the client may send a corrected initialize.
    auto прочитанные = параметры_инициализации_из_json(запрос->параметры);
    if (!прочитанные)
        return отправитель.отправить(ответ_с_ошибкой(
            запрос->id, код_неверные_параметры,
            fmt::format(сообщения::неверные_параметры_инициализации, прочитанные.error())));
    if (auto отправлено = отправитель.отправить(
            ответ_с_результатом(запрос->id, {{"capabilities", возможности_сервера()}}));
        !отправлено)
        return отправлено;
    параметры = std::move(*прочитанные);
    return {};
}

// Waits for `initialize` (до_инициализации), then requires the
// `initialized` notification.
tl::expected<ПараметрыИнициализации, ОшибкаСервера> инициализировать(Транспорт& транспорт) {
    const Отправитель отправитель = транспорт.отправитель();
    std::optional<ПараметрыИнициализации> параметры;
    while (!параметры) {
        auto входящее = транспорт.входящие->получить();
        if (!входящее)
            return ошибка(fmt::format(сообщения::ввод_закончился_до_инициализации));
        if (!*входящее)
            return tl::unexpected(std::move(входящее->error()));
        Итог итог;
        try {
            итог = до_инициализации(отправитель, **входящее, параметры);
        } catch (const std::bad_alloc&) {
            параметры.reset();
            итог = ответить_нехваткой_на_запрос(отправитель, **входящее);
        }
        if (!итог)
            return tl::unexpected(std::move(итог.error()));
    }
    auto следующее = транспорт.входящие->получить();
    if (!следующее)
        return ошибка(fmt::format(сообщения::ввод_закончился_до_инициализации));
    if (!*следующее)
        return tl::unexpected(std::move(следующее->error()));
    if (!это_уведомление(**следующее, "initialized"))
        return ошибка(fmt::format(сообщения::ожидался_initialized, описание(**следующее)));
    return std::move(*параметры);
}

// After `shutdown` has been answered, the next message must be `exit`.
Итог дождаться_exit(Транспорт& транспорт) {
    auto приём = транспорт.входящие->получить_за(срок_ожидания_exit);
    if (приём.срок_вышел)
        return ошибка(fmt::format(сообщения::exit_не_пришёл));
    if (!приём.значение)
        return ошибка(fmt::format(сообщения::ввод_закончился_до_exit));
    if (!*приём.значение)
        return tl::unexpected(std::move(приём.значение->error()));
    if (!это_уведомление(**приём.значение, "exit"))
        return ошибка(fmt::format(сообщения::ожидался_exit, описание(**приём.значение)));
    return {};
}

// Stores a document's new text and checks it. Around the check, the free
// pages go back to the system when the text is large: before it, those that
// decoding its message and the text it replaces leave; after it, those of the
// check itself.
Итог сохранить_и_проверить(const Отправитель& отправитель, Документы& документы,
                           const std::string& uri, std::string&& новый_текст) {
    const auto прежний = документы.find(uri);
    const std::size_t наибольший = std::max(
        новый_текст.size(), прежний == документы.end() ? std::size_t{0} : прежний->second.size());
    const auto& текст = сохранить_текст(документы, uri, std::move(новый_текст));
    вернуть_память_после(наибольший);
    auto итог = проверить_и_отправить_диагностики(отправитель, uri, текст);
    вернуть_память_после(текст.size());
    return итог;
}

bool о_тексте_документа(std::string_view метод) {
    return метод == "textDocument/didOpen" || метод == "textDocument/didChange";
}

// Notifications about documents. Parameters that do not decode leave the
// notification without effect. Decoding moves the text out of the parameters'
// JSON, and the rest of it is dropped, so a document's text is held once while
// it is checked. The document's address is kept in `документ` as soon as it
// is known, for the answer should memory run out.
Итог обработать_уведомление(const Отправитель& отправитель, Документы& документы,
                            Уведомление& уведомление, std::optional<std::string>& документ) {
    if (уведомление.метод == "textDocument/didOpen") {
        auto параметры = параметры_открытия_из_json(std::move(уведомление.параметры));
        if (!параметры)
            return {};
        auto& элемент = параметры->документ;
        документ = элемент.uri;
        уведомление.параметры = nullptr;
        return сохранить_и_проверить(отправитель, документы, элемент.uri, std::move(элемент.текст));
    }
    if (уведомление.метод == "textDocument/didChange") {
        auto параметры = параметры_изменения_из_json(std::move(уведомление.параметры));
        if (!параметры || параметры->изменения.empty())
            return {};
        документ = параметры->uri;
        уведомление.параметры = nullptr;
        // Whole-document synchronisation: the last change carries the text;
        // the earlier ones are dropped unread before the check.
        auto текст = std::move(параметры->изменения.back().текст);
        параметры->изменения = {};
        return сохранить_и_проверить(отправитель, документы, параметры->uri, std::move(текст));
    }
    if (уведомление.метод == "textDocument/didClose") {
        auto параметры = параметры_закрытия_из_json(уведомление.параметры);
        if (!параметры)
            return {};
        if (const auto найден = документы.find(параметры->uri); найден != документы.end()) {
            const std::size_t размер = найден->second.size();
            документы.erase(найден);
            вернуть_память(размер);
        }
        return отправить_диагностики(отправитель, параметры->uri, {});
    }
    return {};
}

// A document whose new text could not be held or checked for lack of
// memory: its entry goes (the text it held is no longer the editor's), and
// its one diagnostic says that it was not checked.
Итог забыть_документ(const Отправитель& отправитель, Документы& документы, const std::string& uri) {
    if (const auto найден = документы.find(uri); найден != документы.end()) {
        const std::size_t размер = найден->second.size();
        документы.erase(найден);
        вернуть_память(размер);
    }
    return отправить_диагностики(отправитель, uri, {диагностика_нехватки_памяти()});
}

// The address of the document that parameters name, read as didClose reads it.
std::optional<std::string> адрес_документа(const nlohmann::json& параметры) {
    auto адрес = параметры_закрытия_из_json(параметры);
    if (!адрес)
        return std::nullopt;
    return std::move(адрес->uri);
}

// A message the reader could not hold: a request gets the memory error, a
// document's text its memory diagnostic; a close, which needs nothing but
// the address, is done as usual.
Итог ответить_без_памяти(const Отправитель& отправитель, Документы& документы, БезПамяти& б) {
    if (б.id)
        return ответить_нехваткой(отправитель, *б.id);
    if (о_тексте_документа(б.метод)) {
        const auto адрес = адрес_документа(б.параметры);
        return адрес ? забыть_документ(отправитель, документы, *адрес) : Итог{};
    }
    if (б.метод == "textDocument/didClose") {
        Уведомление закрытие{std::move(б.метод), std::move(б.параметры)};
        std::optional<std::string> документ;
        return обработать_уведомление(отправитель, документы, закрытие, документ);
    }
    return {};
}

// After the work on a message ran out of memory, with what it left: a
// request's id, and the address of a document whose text was not taken in.
Итог после_нехватки(const Отправитель& отправитель, Документы& документы,
                    const Сообщение& сообщение, std::optional<std::string> документ) {
    if (id_запроса(сообщение) != nullptr)
        return ответить_нехваткой_на_запрос(отправитель, сообщение);
    try {
        if (!документ) {
            if (const auto* у = std::get_if<Уведомление>(&сообщение);
                у != nullptr && о_тексте_документа(у->метод))
                документ = адрес_документа(у->параметры);
            else if (const auto* б = std::get_if<БезПамяти>(&сообщение);
                     б != nullptr && о_тексте_документа(б->метод))
                документ = адрес_документа(б->параметры);
        }
        if (документ)
            return забыть_документ(отправитель, документы, *документ);
    } catch (const std::bad_alloc&) {
    }
    return {};
}

Итог обслуживать(Транспорт& транспорт) {
    const auto параметры_инициализации = инициализировать(транспорт);
    if (!параметры_инициализации)
        return tl::unexpected(параметры_инициализации.error());
    const Отправитель отправитель = транспорт.отправитель();
    Документы документы;
    while (auto входящее = транспорт.входящие->получить()) {
        if (!*входящее)
            return tl::unexpected(std::move(входящее->error()));
        auto& сообщение = **входящее;
        if (const auto* запрос = std::get_if<Запрос>(&сообщение);
            запрос != nullptr && запрос->метод == "shutdown") {
            std::optional<Итог> ответ;
            try {
                ответ = ответить_пусто(отправитель, запрос->id);
            } catch (const std::bad_alloc&) {
            }
            // Without its null answer the shutdown did not happen.
            if (!ответ) {
                if (auto итог = ответить_нехваткой_на_запрос(отправитель, сообщение); !итог)
                    return итог;
                continue;
            }
            if (!*ответ)
                return *ответ;
            return дождаться_exit(транспорт);
        }
        if (auto итог = обработать_сообщение(отправитель, документы, сообщение); !итог)
            return итог;
    }
    return {};
}

}  // namespace

tl::expected<void, ОшибкаСервера> обработать_сообщение(const Отправитель& отправитель,
                                                       Документы& документы, Сообщение& сообщение) {
    std::optional<std::string> документ;
    try {
        return std::visit(
            ast::Перегрузка{
                [&](Запрос& запрос) { return обработать_запрос(отправитель, документы, запрос); },
                [](Ответ&) { return Итог{}; },
                [&](Уведомление& у) {
                    return обработать_уведомление(отправитель, документы, у, документ);
                },
                [&](БезПамяти& б) { return ответить_без_памяти(отправитель, документы, б); },
            },
            сообщение);
    } catch (const std::bad_alloc&) {
    }
    return после_нехватки(отправитель, документы, сообщение, std::move(документ));
}

tl::expected<void, ОшибкаСервера> запустить_сервер(std::istream& вход, std::ostream& выход) {
    auto транспорт = Транспорт::открыть(вход, выход);
    // The loop runs on a thread of known stack size and the caller waits for
    // it, so messages are still handled one at a time, in order.
    Итог итог;
    // Every message's work is guarded on its own; what is left outside it is
    // the server's end, which without memory for its description still ends
    // it with an error.
    const auto работа = [&] {
        try {
            итог = обслуживать(транспорт);
        } catch (const std::bad_alloc&) {
            итог = tl::unexpected(ОшибкаСервера{});
        }
    };
    if (auto запуск = выполнить_на_большом_стеке(работа); !запуск)
        итог = tl::unexpected(std::move(запуск.error()));
    if (!итог) {
        транспорт.прервать();
        return итог;
    }
    return транспорт.завершить();
}

}  // namespace vokra::lsp
