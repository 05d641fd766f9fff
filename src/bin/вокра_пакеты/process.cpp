#include "вокра_пакеты/process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "вокра_пакеты/files.hpp"

extern char** environ;

namespace vokra::пакеты {

namespace {

struct Канал {
    int чтение = -1;
    int запись = -1;

    ~Канал() {
        закрыть(чтение);
        закрыть(запись);
    }
    static void закрыть(int& дескриптор) {
        if (дескриптор >= 0)
            ::close(дескриптор);
        дескриптор = -1;
    }
};

bool открыть(Канал& канал) {
    int концы[2];
    if (::pipe2(концы, O_CLOEXEC) != 0)
        return false;
    канал.чтение = концы[0];
    канал.запись = концы[1];
    return true;
}

struct ДействияСФайлами {
    posix_spawn_file_actions_t действия;
    ДействияСФайлами() { posix_spawn_file_actions_init(&действия); }
    ~ДействияСФайлами() { posix_spawn_file_actions_destroy(&действия); }
};

// Reads both pipes together until both end, so a child that fills one of
// them while we wait on the other never stalls.
void прочитать_оба(Канал& вывод, Канал& ошибки, std::string& в_вывод, std::string& в_ошибки) {
    pollfd ожидание[2] = {{вывод.чтение, POLLIN, 0}, {ошибки.чтение, POLLIN, 0}};
    std::string* куда[2] = {&в_вывод, &в_ошибки};
    int открыто = 2;
    char буфер[65536];
    while (открыто > 0) {
        if (::poll(ожидание, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (int i = 0; i < 2; ++i) {
            if (ожидание[i].fd < 0 || ожидание[i].revents == 0)
                continue;
            const ssize_t прочитано = ::read(ожидание[i].fd, буфер, sizeof буфер);
            if (прочитано > 0) {
                куда[i]->append(буфер, static_cast<std::size_t>(прочитано));
            } else if (прочитано == 0 || errno != EINTR) {
                ожидание[i].fd = -1;
                --открыто;
            }
        }
    }
}

int дождаться(pid_t процесс) {
    int состояние = 0;
    while (::waitpid(процесс, &состояние, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(состояние) ? WEXITSTATUS(состояние) : -1;
}

}  // namespace

ИтогС<ИтогПроцесса> выполнить_процесс(const std::vector<std::string>& аргументы) {
    Канал вывод, ошибки;
    if (!открыть(вывод) || !открыть(ошибки))
        return неудача(текст_ошибки_ос(errno));

    ДействияСФайлами файлы;
    posix_spawn_file_actions_addopen(&файлы.действия, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&файлы.действия, вывод.запись, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&файлы.действия, ошибки.запись, STDERR_FILENO);

    std::vector<char*> argv;
    for (const auto& аргумент : аргументы)
        argv.push_back(const_cast<char*>(аргумент.c_str()));
    argv.push_back(nullptr);

    pid_t процесс = 0;
    const int отказ =
        ::posix_spawnp(&процесс, argv[0], &файлы.действия, nullptr, argv.data(), environ);
    Канал::закрыть(вывод.запись);
    Канал::закрыть(ошибки.запись);
    if (отказ != 0)
        return неудача(текст_ошибки_ос(отказ));

    ИтогПроцесса итог;
    прочитать_оба(вывод, ошибки, итог.вывод, итог.ошибки);
    итог.код_выхода = дождаться(процесс);
    return итог;
}

}  // namespace vokra::пакеты
