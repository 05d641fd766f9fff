#include "вокра_lsp/transport.hpp"

#include <istream>
#include <ostream>

#include "вокра_lsp/framing.hpp"
#include "вокра_lsp/messages.hpp"

namespace vokra::lsp {

namespace {

void читать(std::istream& вход, Канал<Входящее>& входящие) {
    for (;;) {
        auto тело = прочитать_тело(вход);
        if (!тело) {
            входящие.отправить(tl::unexpected(ОшибкаСервера{std::move(тело.error())}));
            break;
        }
        if (!*тело)
            break;
        // A well-framed body that is not a JSON-RPC message is skipped.
        auto сообщение = разобрать_сообщение(**тело);
        // Freed before the message is handed on, so its check never stands
        // beside it.
        тело->reset();
        if (!сообщение)
            continue;
        const bool выход = это_уведомление(*сообщение, "exit");
        if (!входящие.отправить(std::move(*сообщение)) || выход)
            break;
    }
    входящие.закрыть();
}

void писать(std::ostream& выход, Канал<std::string>& исходящие, ИтогПисателя& итог) {
    while (auto тело = исходящие.получить()) {
        if (!записать_тело(выход, *тело)) {
            итог.ошибка = ОшибкаСервера{fmt::format(сообщения::ошибка_записи)};
            break;
        }
    }
    исходящие.закрыть();
}

}  // namespace

tl::expected<void, ОшибкаСервера> Отправитель::отправить(const nlohmann::json& сообщение) const {
    if (канал->отправить(в_тело(сообщение)))
        return {};
    // The writer records its failure before it closes the channel, and the
    // channel's lock orders the two.
    if (итог_писателя->ошибка)
        return tl::unexpected(*итог_писателя->ошибка);
    return tl::unexpected(ОшибкаСервера{fmt::format(сообщения::отправка_невозможна)});
}

Транспорт Транспорт::открыть(std::istream& вход, std::ostream& выход) {
    Транспорт т;
    т.входящие = std::make_shared<Канал<Входящее>>(очередь_входящих);
    т.исходящие = std::make_shared<Канал<std::string>>(очередь_исходящих);
    т.итог_писателя = std::make_shared<ИтогПисателя>();
    т.читатель = std::thread([&вход, входящие = т.входящие] { читать(вход, *входящие); });
    т.писатель = std::thread([&выход, исходящие = т.исходящие, итог = т.итог_писателя] {
        писать(выход, *исходящие, *итог);
    });
    return т;
}

Транспорт::~Транспорт() {
    if (читатель.joinable() || писатель.joinable())
        прервать();
}

tl::expected<void, ОшибкаСервера> Транспорт::завершить() {
    исходящие->закрыть();
    писатель.join();
    читатель.join();
    if (итог_писателя->ошибка)
        return tl::unexpected(*итог_писателя->ошибка);
    return {};
}

void Транспорт::прервать() {
    входящие->закрыть();
    исходящие->закрыть();
    if (писатель.joinable())
        писатель.join();
    if (читатель.joinable())
        читатель.detach();
}

}  // namespace vokra::lsp
