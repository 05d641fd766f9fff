// How the language server asks the C library to manage its memory. Every
// check builds its tokens and tree afresh and frees them; blocks up to the
// largest threshold glibc allows come from the heap, and the freed heap is
// kept up to its trim threshold, so the next check reuses the same pages
// instead of taking (and zeroing) fresh ones from the kernel. All threads
// share one heap: the reader thread's buffers for a message (its body, the
// decoder's text) are freed before the check of that message starts, and a
// shared heap hands those same pages to the check instead of holding them
// apart in the reader's own arena. The benchmarks of the front end run with
// the same settings.
#pragma once

#include <malloc.h>

namespace vokra::lsp {

inline void настроить_память() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_ARENA_MAX, 1);
}

}  // namespace vokra::lsp
