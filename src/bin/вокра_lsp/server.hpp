// The life of the language server over a pair of streams: the initialize
// handshake, the loop over incoming messages, and the shutdown handshake.
#pragma once

#include <chrono>
#include <iosfwd>
#include <tl/expected.hpp>

#include "вокра_lsp/error.hpp"

namespace vokra::lsp {

// How long the server waits for `exit` after answering `shutdown`.
inline constexpr std::chrono::seconds срок_ожидания_exit{30};

// Runs the server until the input ends, a bare `exit` arrives, or `shutdown`
// is followed by `exit`. Any protocol error, a failed send or broken framing
// ends it with an error.
tl::expected<void, ОшибкаСервера> запустить_сервер(std::istream& вход, std::ostream& выход);

}  // namespace vokra::lsp
