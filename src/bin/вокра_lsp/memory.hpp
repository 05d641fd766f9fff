// How the language server asks the C library to manage its memory. Every
// check builds its tokens and tree afresh and frees them; blocks up to the
// largest threshold glibc allows come from the heap, and the freed heap is
// kept up to its trim threshold, so the next check reuses the same pages
// instead of taking (and zeroing) fresh ones from the kernel. The
// benchmarks of the front end run with the same settings.
#pragma once

#include <malloc.h>

namespace vokra::lsp {

inline void настроить_память() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

}  // namespace vokra::lsp
