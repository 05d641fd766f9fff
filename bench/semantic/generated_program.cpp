// Prints a generated program of about the given number of lines (default
// 1000), for measurements outside this process (the editor round trip).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../parser/program.hpp"

int main(int argc, char** argv) {
    const std::size_t строк = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000;
    std::size_t итого = 0;
    const std::string текст = vokra::замер::программа(строк, итого);
    std::fwrite(текст.data(), 1, текст.size(), stdout);
    return 0;
}
