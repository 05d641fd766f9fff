// The transport over a pair of byte streams: a reader thread that frames and
// classifies incoming messages into one channel, and a writer thread that
// frames the bodies of another channel onto the output. The main loop owns
// everything else.
#pragma once

#include <iosfwd>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <tl/expected.hpp>
#include <variant>

#include "вокра_lsp/channel.hpp"
#include "вокра_lsp/error.hpp"
#include "вокра_lsp/jsonrpc.hpp"

namespace vokra::lsp {

// Messages read ahead of the main loop, and answers not yet written, at most:
// past them the reader stops reading and the main loop waits for the writer.
inline constexpr std::size_t очередь_входящих = 16;
inline constexpr std::size_t очередь_исходящих = 16;

// A message, or the framing failure that ended the reader.
using Входящее = tl::expected<Сообщение, ОшибкаСервера>;

// What the reader takes from the input for one message: the end of input,
// broken framing, or a message (nothing for a well-framed body that is no
// JSON-RPC message, which is skipped).
struct КонецВвода {};
using Прочитанное = std::variant<КонецВвода, ОшибкаСервера, std::optional<Сообщение>>;

// Reads and decodes one message. A body that cannot be held or decoded for
// lack of memory gives the message its start names (БезПамяти), and the rest
// of it is read past, so the next message is framed as usual.
Прочитанное прочитать_сообщение(std::istream& вход);

// What the writer leaves behind when a write fails; read after it is joined.
struct ИтогПисателя {
    std::optional<ОшибкаСервера> ошибка;
};

// The connection's sender, handed to everything that answers the client.
struct Отправитель {
    std::shared_ptr<Канал<std::string>> канал;
    std::shared_ptr<const ИтогПисателя> итог_писателя;

    // Fails once the writer has stopped, with the write failure that stopped it.
    tl::expected<void, ОшибкаСервера> отправить(const nlohmann::json& сообщение) const;
};

struct Транспорт {
    // The channels and the writer's result are shared with the threads: a
    // reader left blocked on its input may outlive this record.
    std::shared_ptr<Канал<Входящее>> входящие;
    std::shared_ptr<Канал<std::string>> исходящие;
    std::shared_ptr<ИтогПисателя> итог_писателя;
    std::thread читатель;
    std::thread писатель;

    // Starts both threads. The reader stops after the end of input, a framing
    // failure, or an `exit` notification, closing the incoming channel.
    static Транспорт открыть(std::istream& вход, std::ostream& выход);

    Транспорт() = default;
    Транспорт(Транспорт&&) = default;
    ~Транспорт();

    Отправитель отправитель() const { return {исходящие, итог_писателя}; }

    // The normal end, once the incoming channel has closed: everything sent is
    // written, both threads are joined, and a failed write is reported.
    tl::expected<void, ОшибкаСервера> завершить();

    // The end on an error: what was sent is still written, but the reader,
    // which may be blocked on its input, is left behind rather than joined.
    void прервать();
};

}  // namespace vokra::lsp
