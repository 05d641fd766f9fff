// The thread the server's own work runs on. Checking a text recurses once per
// level of its nesting in the parser and in every pass over the tree, so the
// deepest text the parser accepts needs far more stack than a default thread
// or a small `ulimit -s` gives. The server sets the size itself.
#pragma once

#include <cstddef>
#include <functional>
#include <tl/expected.hpp>

#include "вокра_lsp/error.hpp"

namespace vokra::lsp {

// Reserved address space; pages are committed only as deep recursion touches
// them.
inline constexpr std::size_t размер_стека_работы = std::size_t{256} << 20;

// Runs `работа` on a new thread with a stack of `размер_стека_работы` bytes
// and waits for it to end. Fails only when the thread cannot be started.
tl::expected<void, ОшибкаСервера> выполнить_на_большом_стеке(const std::function<void()>& работа);

}  // namespace vokra::lsp
