// The life of the language server over a pair of streams: the initialize
// handshake, the loop over incoming messages, and the shutdown handshake.
#pragma once

#include <chrono>
#include <iosfwd>
#include <tl/expected.hpp>

#include "вокра_lsp/documents.hpp"
#include "вокра_lsp/error.hpp"
#include "вокра_lsp/jsonrpc.hpp"
#include "вокра_lsp/transport.hpp"

namespace vokra::lsp {

// How long the server waits for `exit` after answering `shutdown`.
inline constexpr std::chrono::seconds срок_ожидания_exit{30};

// Handles one message after the handshake, `shutdown` aside. Should memory
// run out anywhere in its work, what the work built is freed as the failure
// leaves it; a request gets the error that says so, a document whose text
// was not taken in loses its entry and gets its memory diagnostic, and the
// server goes on. Only a failed send is an error.
tl::expected<void, ОшибкаСервера> обработать_сообщение(const Отправитель& отправитель,
                                                       Документы& документы, Сообщение& сообщение);

// Runs the server until the input ends, a bare `exit` arrives, or `shutdown`
// is followed by `exit`. Any protocol error, a failed send or broken framing
// ends it with an error.
tl::expected<void, ОшибкаСервера> запустить_сервер(std::istream& вход, std::ostream& выход);

}  // namespace vokra::lsp
