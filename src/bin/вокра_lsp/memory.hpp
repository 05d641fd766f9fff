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

#include <algorithm>
#include <cstddef>

namespace vokra::lsp {

inline void настроить_память() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_ARENA_MAX, 1);
}

// The free pages a check leaves in the heap are worth keeping for the next
// check of a text of the same size, but not once the documents have become
// much smaller than the largest checked: then they go back to the system.
// Giving them back costs little (about 1 ms per 100 MB), taking them again
// costs the next large check its page faults, so small texts never trigger
// it on their own.
struct ВозвратПамяти {
    // Stores smaller than this leave too few pages behind to matter.
    static constexpr std::size_t заметный_объём = std::size_t{1} << 20;
    // How much smaller than the largest the store must become.
    static constexpr std::size_t во_сколько_меньше = 4;

    // The largest size of the document store since pages were last given back.
    std::size_t наибольший = 0;

    // Called after each document notification has been handled, with the
    // total size of the texts the store holds now.
    void после_уведомления(std::size_t хранится) {
        наибольший = std::max(наибольший, хранится);
        if (наибольший < заметный_объём || хранится * во_сколько_меньше >= наибольший)
            return;
        malloc_trim(0);
        наибольший = хранится;
    }
};

}  // namespace vokra::lsp
