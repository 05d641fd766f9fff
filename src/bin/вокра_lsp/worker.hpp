// The thread the server's own work runs on. A check measures the stack it
// takes and stops at ast::бюджет_стека from the thread's start, more than a
// default thread or a small `ulimit -s` gives; the server sets the size
// itself, with room past the budget for the walks between two measures.
#pragma once

#include <cstddef>
#include <functional>
#include <tl/expected.hpp>

#include "ast/stack.hpp"
#include "вокра_lsp/error.hpp"

namespace vokra::lsp {

// Runs `работа` on a new thread with a stack of ast::стек_потока_проверки
// bytes and waits for it to end. Fails only when the thread cannot be
// started.
tl::expected<void, ОшибкаСервера> выполнить_на_большом_стеке(const std::function<void()>& работа);

}  // namespace vokra::lsp
