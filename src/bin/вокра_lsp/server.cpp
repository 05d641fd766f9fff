#include "вокра_lsp/server.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstddef>

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

// Waits for `initialize`, answering every other request with "server not
// initialized" and ignoring everything else, replies with the capabilities,
// then requires the `initialized` notification. An initialize whose
// parameters do not decode gets an invalid-params error.
tl::expected<ПараметрыИнициализации, ОшибкаСервера> инициализировать(Транспорт& транспорт) {
    const Отправитель отправитель = транспорт.отправитель();
    for (;;) {
        auto входящее = транспорт.входящие->получить();
        if (!входящее)
            return ошибка(fmt::format(сообщения::ввод_закончился_до_инициализации));
        if (!*входящее)
            return tl::unexpected(std::move(входящее->error()));
        const auto* запрос = std::get_if<Запрос>(&**входящее);
        if (запрос == nullptr)
            continue;
        if (запрос->метод != "initialize") {
            auto отправлено = отправитель.отправить(
                ответ_с_ошибкой(запрос->id, код_сервер_не_инициализирован,
                                fmt::format(сообщения::ожидался_initialize, описание(**входящее))));
            if (!отправлено)
                return tl::unexpected(std::move(отправлено.error()));
            continue;
        }
        // Parameters that do not decode are refused like those of any other
        // request; the client may send a corrected initialize.
        auto параметры = параметры_инициализации_из_json(запрос->параметры);
        if (!параметры) {
            auto отказ = отправитель.отправить(ответ_с_ошибкой(
                запрос->id, код_неверные_параметры,
                fmt::format(сообщения::неверные_параметры_инициализации, параметры.error())));
            if (!отказ)
                return tl::unexpected(std::move(отказ.error()));
            continue;
        }
        auto отправлено = отправитель.отправить(
            ответ_с_результатом(запрос->id, {{"capabilities", возможности_сервера()}}));
        if (!отправлено)
            return tl::unexpected(std::move(отправлено.error()));

        auto следующее = транспорт.входящие->получить();
        if (!следующее)
            return ошибка(fmt::format(сообщения::ввод_закончился_до_инициализации));
        if (!*следующее)
            return tl::unexpected(std::move(следующее->error()));
        if (!это_уведомление(**следующее, "initialized"))
            return ошибка(fmt::format(сообщения::ожидался_initialized, описание(**следующее)));
        return std::move(*параметры);
    }
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

// Notifications about documents. Parameters that do not decode leave the
// notification without effect. Decoding moves the text out of the parameters'
// JSON, and the rest of it is dropped, so a document's text is held once while
// it is checked.
Итог обработать_уведомление(const Отправитель& отправитель, Документы& документы,
                            Уведомление& уведомление) {
    if (уведомление.метод == "textDocument/didOpen") {
        auto параметры = параметры_открытия_из_json(std::move(уведомление.параметры));
        уведомление.параметры = nullptr;
        if (!параметры)
            return {};
        auto& документ = параметры->документ;
        return сохранить_и_проверить(отправитель, документы, документ.uri,
                                     std::move(документ.текст));
    }
    if (уведомление.метод == "textDocument/didChange") {
        auto параметры = параметры_изменения_из_json(std::move(уведомление.параметры));
        уведомление.параметры = nullptr;
        if (!параметры || параметры->изменения.empty())
            return {};
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
        if (const auto документ = документы.find(параметры->uri); документ != документы.end()) {
            const std::size_t размер = документ->second.size();
            документы.erase(документ);
            вернуть_память_после(размер);
        }
        return отправить_диагностики(отправитель, параметры->uri, {});
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
        Итог итог;
        if (const auto* запрос = std::get_if<Запрос>(&**входящее)) {
            if (запрос->метод == "shutdown") {
                итог = ответить_пусто(отправитель, запрос->id);
                if (!итог)
                    return итог;
                return дождаться_exit(транспорт);
            }
            итог = обработать_запрос(отправитель, документы, *запрос);
        } else if (auto* у = std::get_if<Уведомление>(&**входящее)) {
            итог = обработать_уведомление(отправитель, документы, *у);
        }
        if (!итог)
            return итог;
    }
    return {};
}

}  // namespace

tl::expected<void, ОшибкаСервера> запустить_сервер(std::istream& вход, std::ostream& выход) {
    auto транспорт = Транспорт::открыть(вход, выход);
    // The loop runs on a thread of known stack size and the caller waits for
    // it, so messages are still handled one at a time, in order.
    Итог итог;
    if (auto запуск = выполнить_на_большом_стеке([&] { итог = обслуживать(транспорт); }); !запуск)
        итог = tl::unexpected(std::move(запуск.error()));
    if (!итог) {
        транспорт.прервать();
        return итог;
    }
    return транспорт.завершить();
}

}  // namespace vokra::lsp
