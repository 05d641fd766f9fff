#include <cstdio>
#include <string>
#include <vector>

#include "вокра_пакеты/commands.hpp"
#include "вокра_пакеты/interruption.hpp"

int main(int argc, char** argv) {
    // Line-buffered even into a pipe, so that progress lines and the error on
    // standard error keep their order in a combined log.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    vokra::пакеты::перехватывать_прерывания();
    const std::vector<std::string> аргументы(argv, argv + argc);
    const int код = vokra::пакеты::выполнить_команду(аргументы);
    std::fflush(stdout);
    if (vokra::пакеты::прервано())
        vokra::пакеты::завершиться_по_сигналу();
    return код;
}
