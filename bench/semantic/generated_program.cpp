// Prints a generated program of about the given number of lines (default
// 1000), or the generic or syntax shape of that name at the given size
// (default its larger one), for measurements outside this process (the
// editor round trip).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../parser/program.hpp"
#include "front_shapes.hpp"
#include "generic_shapes.hpp"

int main(int argc, char** argv) {
    std::string текст;
    for (const auto формы : {vokra::замер::обобщённые_формы(), vokra::замер::формы_разбора()})
        for (const auto& форма : формы)
            if (argc > 1 && форма.имя == argv[1])
                текст = форма.текст(argc > 2 ? std::strtoull(argv[2], nullptr, 10) : форма.больший);
    if (текст.empty()) {
        const std::size_t строк = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000;
        std::size_t итого = 0;
        текст = vokra::замер::программа(строк, итого);
    }
    std::fwrite(текст.data(), 1, текст.size(), stdout);
    return 0;
}
