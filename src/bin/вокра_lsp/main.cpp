// вокра_lsp: the language server. An editor starts it and speaks the Language
// Server Protocol with it over standard input and output.
#include <csignal>
#include <iostream>

#include "вокра_lsp/error.hpp"
#include "вокра_lsp/memory.hpp"
#include "вокра_lsp/server.hpp"

int main() {
    // A client that goes away must give a failed write, not a killed process.
    std::signal(SIGPIPE, SIG_IGN);
    vokra::lsp::настроить_память();
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
