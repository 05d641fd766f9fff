#include "вокра_lsp/transport.hpp"

#include <algorithm>
#include <istream>
#include <new>
#include <ostream>

#include "вокра_lsp/framing.hpp"
#include "вокра_lsp/messages.hpp"

namespace vokra::lsp {

namespace {

// Hands a message to the main loop. Should the queue fail to grow for lack
// of memory, the message goes on reduced to what it needs for its answer.
bool передать(Канал<Входящее>& входящие, Сообщение&& сообщение) {
    Входящее входящее = std::move(сообщение);
    try {
        return входящие.переслать(входящее);
    } catch (const std::bad_alloc&) {
    }
    try {
        auto сокращённое = без_памяти(std::move(*входящее));
        входящее = {};
        if (!сокращённое)
            return true;
        входящее = std::move(*сокращённое);
        return входящие.переслать(входящее);
    } catch (const std::bad_alloc&) {
        // Not even that fits: the message is lost, the reader goes on.
        return true;
    }
}

void читать(std::istream& вход, Канал<Входящее>& входящие) {
    for (;;) {
        auto прочитанное = прочитать_сообщение(вход);
        if (std::holds_alternative<КонецВвода>(прочитанное))
            break;
        if (auto* ошибка = std::get_if<ОшибкаСервера>(&прочитанное)) {
            // Without memory to queue it, the main loop sees the input end.
            try {
                входящие.отправить(tl::unexpected(std::move(*ошибка)));
            } catch (const std::bad_alloc&) {
            }
            break;
        }
        auto& сообщение = std::get<std::optional<Сообщение>>(прочитанное);
        if (!сообщение)
            continue;
        const bool выход = это_уведомление(*сообщение, "exit");
        if (!передать(входящие, std::move(*сообщение)) || выход)
            break;
    }
    входящие.закрыть();
}

void писать(std::ostream& выход, Канал<std::string>& исходящие, ИтогПисателя& итог) {
    while (auto тело = исходящие.получить()) {
        if (!записать_тело(выход, *тело)) {
            try {
                итог.ошибка = ОшибкаСервера{fmt::format(сообщения::ошибка_записи)};
            } catch (const std::bad_alloc&) {
                итог.ошибка = ОшибкаСервера{};
            }
            break;
        }
    }
    исходящие.закрыть();
}

// Of a body of `длина` bytes that ran out of memory with the bytes in `тело`
// taken from the input, its start (up to предел_опознания bytes, as far as
// memory allows), the rest read past.
tl::expected<std::string, ОшибкаСервера> начало_тела(std::istream& вход, std::size_t длина,
                                                     std::string&& тело) {
    const std::size_t нужно = std::min(длина, предел_опознания);
    std::size_t взято = тело.size();
    std::string начало;
    try {
        начало.reserve(нужно);
        начало.assign(тело, 0, std::min(взято, нужно));
    } catch (const std::bad_alloc&) {
    }
    std::string().swap(тело);
    // The failure may have come before the start was read: it is read now,
    // into the capacity taken above.
    if (начало.size() == взято && взято < нужно && начало.capacity() >= нужно) {
        начало.resize(нужно);
        вход.read(начало.data() + взято, static_cast<std::streamsize>(нужно - взято));
        взято += static_cast<std::size_t>(вход.gcount());
        начало.resize(взято);
        if (взято < нужно)
            return tl::unexpected(
                ОшибкаСервера{вход.bad() ? fmt::format(сообщения::ошибка_чтения)
                                         : fmt::format(сообщения::короткое_тело, длина)});
    }
    if (auto пропущено = пропустить_байты(вход, длина - взято, длина); !пропущено)
        return tl::unexpected(ОшибкаСервера{std::move(пропущено.error())});
    return начало;
}

}  // namespace

Прочитанное прочитать_сообщение(std::istream& вход) {
    // Reading the headers allocates nothing but the description of a failure;
    // without memory for it the failure still ends the server, undescribed.
    tl::expected<std::optional<std::size_t>, std::string> длина;
    try {
        длина = прочитать_заголовки(вход);
    } catch (const std::bad_alloc&) {
        return ОшибкаСервера{};
    }
    if (!длина)
        return ОшибкаСервера{std::move(длина.error())};
    if (!*длина)
        return КонецВвода{};
    // The body is freed before the message is handed on, so its check never
    // stands beside it.
    std::string тело;
    try {
        if (auto прочитано = прочитать_байты(вход, **длина, тело); !прочитано)
            return ОшибкаСервера{std::move(прочитано.error())};
        return разобрать_сообщение(тело);
    } catch (const std::bad_alloc&) {
    }
    tl::expected<std::string, ОшибкаСервера> начало;
    try {
        начало = начало_тела(вход, **длина, std::move(тело));
    } catch (const std::bad_alloc&) {
        return ОшибкаСервера{};
    }
    if (!начало)
        return std::move(начало.error());
    try {
        return опознать_начало(*начало);
    } catch (const std::bad_alloc&) {
        return std::optional<Сообщение>{};
    }
}

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
