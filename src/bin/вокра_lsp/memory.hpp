// How the language server asks the C library to manage its memory. Every
// check builds its tokens and tree afresh and frees them; blocks up to the
// largest threshold glibc allows come from the heap, and the freed heap is
// kept up to its trim threshold, so the next check of a small text reuses the
// same pages instead of taking (and zeroing) fresh ones from the kernel;
// around a large one that took much they are given back
// (вернуть_память_после). All threads
// share one heap: the reader thread's buffers for a message (its body, the
// decoder's text) are freed before the check of that message starts, into the
// heap the check allocates from instead of the reader's own arena. The
// benchmarks of the front end run with the same settings.
#pragma once

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <charconv>
#include <cstddef>
#include <optional>
#include <string_view>

#include "ast/stack.hpp"

namespace vokra::lsp {

// A text at least this large leaves enough free pages behind its decoding,
// its check or its removal for them to be given back to the system.
constexpr std::size_t крупный_текст = std::size_t{512} << 10;

// The stack a check of an ordinary program takes is a few tens of kilobytes;
// its pages stay for the next check.
constexpr std::size_t стек_в_запасе = std::size_t{1} << 20;

// The resident size of the process in bytes, from /proc/self/statm; nothing
// when it cannot be read.
inline std::optional<std::size_t> резидентный_размер() {
    const int файл = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (файл < 0)
        return std::nullopt;
    std::array<char, 128> буфер{};
    const ssize_t прочитано = ::read(файл, буфер.data(), буфер.size());
    ::close(файл);
    if (прочитано <= 0)
        return std::nullopt;
    // "size resident shared …", counted in pages.
    const std::string_view строка(буфер.data(), static_cast<std::size_t>(прочитано));
    const std::size_t пробел = строка.find(' ');
    if (пробел == std::string_view::npos)
        return std::nullopt;
    std::size_t страниц = 0;
    const auto [конец, код] =
        std::from_chars(строка.data() + пробел + 1, строка.data() + строка.size(), страниц);
    if (код != std::errc{})
        return std::nullopt;
    return страниц * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// What the process may hold resident above its size right after memory last
// went back, before a large text's work gives it back again. A check that
// left less behind keeps its free pages, and the next check of a text like it
// takes them again instead of faulting fresh ones in (the kernel's zeroing of
// them is most of a cheap check of a large text); the server at rest holds no
// more than this above what it held then.
constexpr std::size_t запас_резидентной_памяти = std::size_t{8} << 20;

// The resident size right after memory last went back; only the thread that
// does the server's work asks.
inline std::atomic<std::size_t> резидентно_после_возврата{0};

inline void настроить_память() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_ARENA_MAX, 1);
    // The size at start is where the first reserve is counted from.
    if (резидентно_после_возврата.load(std::memory_order_relaxed) == 0)
        резидентно_после_возврата.store(резидентный_размер().value_or(0),
                                        std::memory_order_relaxed);
}

// Gives the heap's free pages, and the empty slabs of the tree's nodes
// (ast/pool.hpp), back to the system after work on a text of `размер` bytes,
// when it is large. The heap hands freed blocks out again in address order,
// not by whether their pages are resident, so what is freed is not reused in
// place. A text of any size may make its check go deep: what freeing its
// deepest parts put off is freed here, and the stack's pages past
// стек_в_запасе go back after every check, which costs next to nothing when
// the check did not touch them.
inline void вернуть_память(std::size_t размер) {
    ast::освободить_отложенное();
    ast::вернуть_страницы_стека(стек_в_запасе);
    if (размер >= крупный_текст) {
        ast::вернуть_пустые_плиты();
        malloc_trim(0);
        резидентно_после_возврата.store(резидентный_размер().value_or(0),
                                        std::memory_order_relaxed);
    }
}

// The same after a large text's decoding or check, but only once the process
// holds more than запас_резидентной_памяти above its size when memory last
// went back: a check that takes little keeps its pages for the next.
inline void вернуть_память_после(std::size_t размер) {
    const auto сейчас = размер >= крупный_текст ? резидентный_размер() : std::nullopt;
    const bool держит_мало =
        сейчас && *сейчас < резидентно_после_возврата.load(std::memory_order_relaxed) +
                                запас_резидентной_памяти;
    вернуть_память(держит_мало ? 0 : размер);
}

}  // namespace vokra::lsp
