// Prints a generated program of about the given number of lines (default
// 1000), or the generic, syntax, nested or type shape, the message body or the
// production of the grammar of that name at the given size (default its
// larger one), for measurements outside this process (the editor round trip,
// the server's memory). For a production, standard error gets the place deep
// in its construct as the protocol counts it: the 0-based line and
// character, separated by a space.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../parser/program.hpp"
#include "front_shapes.hpp"
#include "generic_shapes.hpp"
#include "message_shapes.hpp"
#include "productions.hpp"
#include "type_shapes.hpp"

int main(int argc, char** argv) {
    const auto размер = [&](std::size_t больший) {
        return argc > 2 ? std::strtoull(argv[2], nullptr, 10) : больший;
    };
    std::string текст;
    for (const auto формы : {vokra::замер::обобщённые_формы(), vokra::замер::формы_разбора(),
                             vokra::замер::вложенные_формы(), vokra::замер::формы_типов()})
        for (const auto& форма : формы)
            if (argc > 1 && форма.имя == argv[1])
                текст = форма.текст(размер(форма.больший));
    for (const auto& форма : vokra::замер::формы_сообщений())
        if (argc > 1 && форма.имя == argv[1])
            текст = форма.тело(размер(форма.больший));
    for (const auto& производство : vokra::замер::производства())
        if (argc > 1 && производство.имя == argv[1]) {
            const auto образец = производство.образец(размер(производство.больший));
            const auto место = vokra::замер::место_в_протоколе(образец);
            std::fprintf(stderr, "%zu %zu\n", место.строка, место.символ);
            текст = образец.текст;
        }
    if (текст.empty()) {
        const std::size_t строк = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000;
        std::size_t итого = 0;
        текст = vokra::замер::программа(строк, итого);
    }
    std::fwrite(текст.data(), 1, текст.size(), stdout);
    return 0;
}
