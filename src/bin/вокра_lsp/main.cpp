// вокра_lsp: the language server. An editor starts it and speaks the Language
// Server Protocol with it over standard input and output.
#include <malloc.h>

#include <csignal>
#include <iostream>

#include "вокра_lsp/error.hpp"
#include "вокра_lsp/server.hpp"

int main() {
    // A client that goes away must give a failed write, not a killed process.
    std::signal(SIGPIPE, SIG_IGN);
    // Every check builds its tokens and tree afresh and frees them. Blocks
    // up to the largest threshold glibc allows come from the heap, and the
    // freed heap is kept up to its trim threshold, so the next check reuses
    // the same pages instead of taking (and zeroing) fresh ones from the
    // kernel.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    std::ios::sync_with_stdio(false);
    // The reader and the writer run on separate threads; a tied input would
    // flush the output from the reader's thread.
    std::cin.tie(nullptr);

    const auto итог = vokra::lsp::запустить_сервер(std::cin, std::cout);
    if (!итог) {
        std::cerr << vokra::lsp::строка_ошибки(итог.error()) << std::endl;
        return 1;
    }
    return 0;
}
