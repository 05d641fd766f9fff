// How the language server asks the C library to manage its memory. Every
// check builds its tokens and tree afresh and frees them; blocks up to the
// largest threshold glibc allows come from the heap, and the freed heap is
// kept up to its trim threshold, so the next check of a small text reuses the
// same pages instead of taking (and zeroing) fresh ones from the kernel;
// around a large one they are given back (вернуть_память_после). All threads
// share one heap: the reader thread's buffers for a message (its body, the
// decoder's text) are freed before the check of that message starts, into the
// heap the check allocates from instead of the reader's own arena. The
// benchmarks of the front end run with the same settings.
#pragma once

#include <malloc.h>

#include <cstddef>

#include "ast/stack.hpp"

namespace vokra::lsp {

inline void настроить_память() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_ARENA_MAX, 1);
}

// A text at least this large leaves enough free pages behind its decoding,
// its check or its removal for them to be given back to the system.
constexpr std::size_t крупный_текст = std::size_t{512} << 10;

// The stack a check of an ordinary program takes is a few tens of kilobytes;
// its pages stay for the next check.
constexpr std::size_t стек_в_запасе = std::size_t{1} << 20;

// Gives the heap's free pages, and the empty slabs of the tree's nodes
// (ast/pool.hpp), back to the system after work on a text of `размер` bytes,
// when it is large. The heap hands freed blocks out again in
// address order, not by whether their pages are resident, so what decoding a
// large message or checking it leaves is not reused in place: kept, it would
// stand beside the next check. Giving it back costs the next large check its
// page faults; smaller texts keep their pages for the next check. A text of
// any size may make its check go deep: what freeing its deepest parts put off
// is freed here, and the stack's pages past стек_в_запасе go back after
// every check, which costs next to nothing when the check did not touch
// them.
inline void вернуть_память_после(std::size_t размер) {
    ast::освободить_отложенное();
    ast::вернуть_страницы_стека(стек_в_запасе);
    if (размер >= крупный_текст) {
        ast::вернуть_пустые_плиты();
        malloc_trim(0);
    }
}

}  // namespace vokra::lsp
