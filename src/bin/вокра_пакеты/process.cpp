#include "вокра_пакеты/process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "вокра_пакеты/activity.hpp"
#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/interruption.hpp"

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

struct СвойстваЗапуска {
    posix_spawnattr_t свойства;
    СвойстваЗапуска() { posix_spawnattr_init(&свойства); }
    ~СвойстваЗапуска() { posix_spawnattr_destroy(&свойства); }
};

std::vector<char*> указатели(const std::vector<std::string>& тексты) {
    std::vector<char*> итог;
    for (const auto& текст : тексты)
        итог.push_back(const_cast<char*>(текст.c_str()));
    итог.push_back(nullptr);
    return итог;
}

// Keeps the last `предел` bytes of a stream. The text grows to twice the
// limit before its front is cut, so each byte is moved a bounded number of
// times.
struct Хвост {
    std::string& текст;
    std::size_t предел;
    bool обрезан = false;

    void добавить(std::string_view часть) {
        текст.append(часть);
        if (текст.size() > предел && текст.size() - предел >= предел)
            обрезать();
    }
    void обрезать() {
        текст.erase(0, текст.size() - предел);
        обрезан = true;
    }
    // A cut text starts at a line of its own where it can.
    void закончить() {
        if (текст.size() > предел)
            обрезать();
        if (!обрезан)
            return;
        const auto конец_строки = текст.find('\n');
        if (конец_строки != std::string::npos && конец_строки + 1 < текст.size())
            текст.erase(0, конец_строки + 1);
    }
};

// How long the process has been silent: output on its pipes, or anything
// its group read or wrote, are signs of life.
struct Тишина {
    using Часы = std::chrono::steady_clock;

    pid_t группа;
    bool своя_группа;
    std::chrono::milliseconds предел;
    // The kernel's counters are read a few times within the limit.
    std::chrono::milliseconds шаг =
        std::clamp(предел / 4, std::chrono::milliseconds(10), std::chrono::milliseconds(1000));
    Часы::time_point жизнь = Часы::now();
    Часы::time_point замер = жизнь;
    std::optional<ВводВывод> счётчики = прочитать_счётчики();

    std::optional<ВводВывод> прочитать_счётчики() const {
        return своя_группа ? ввод_вывод_группы(группа) : std::nullopt;
    }
    void отметить_жизнь() { жизнь = Часы::now(); }
    // Reads the counters when it is time to; true once the limit is passed.
    bool прошла() {
        const auto сейчас = Часы::now();
        if (сейчас - замер >= шаг) {
            замер = сейчас;
            auto новые = прочитать_счётчики();
            if (новые != счётчики)
                жизнь = сейчас;
            счётчики = std::move(новые);
        }
        return сейчас - жизнь >= предел;
    }
    // Milliseconds to wait at most before `прошла` must be asked again.
    int ждать_мс() const {
        const auto сейчас = Часы::now();
        const auto до = std::min(замер + шаг, жизнь + предел);
        const auto мс = std::chrono::ceil<std::chrono::milliseconds>(до - сейчас).count();
        return static_cast<int>(std::clamp<std::int64_t>(мс, 0, 1000));
    }
};

int открыть_pidfd(pid_t процесс) {
    return static_cast<int>(::syscall(SYS_pidfd_open, процесс, 0));
}

// Reads both pipes together until both end and the process has ended, so a
// child that fills one of them while we wait on the other never stalls. An
// interruption asks the child to end and goes on reading until it has. With
// a silence limit, a silent process is killed with its group, and pipes that
// a process left in the background holds are left once it is silent too.
void прочитать_оба(Канал& вывод, Канал& ошибки, const ЗапускПроцесса& запуск, pid_t процесс,
                   ИтогПроцесса& итог) {
    Хвост хвосты[2] = {{итог.вывод, запуск.предел}, {итог.ошибки, запуск.предел}};
    // Without pidfd (an old kernel) the end of the pipes stands for the end
    // of the process.
    const Дескриптор конец_процесса(открыть_pidfd(процесс));
    pollfd ожидание[4] = {{вывод.чтение, POLLIN, 0},
                          {ошибки.чтение, POLLIN, 0},
                          {дескриптор_прерывания(), POLLIN, 0},
                          {конец_процесса.номер, POLLIN, 0}};
    std::optional<Тишина> тишина;
    if (запуск.предел_тишины)
        тишина.emplace(Тишина{процесс, запуск.новый_сеанс, *запуск.предел_тишины});
    const pid_t кому = запуск.новый_сеанс ? -процесс : процесс;
    int открыто = 2;
    bool прерван = false;
    char буфер[65536];
    while (открыто > 0 || ожидание[3].fd >= 0) {
        if (!прерван && прервано()) {
            прерван = true;
            ожидание[2].fd = -1;
            ::kill(кому, SIGTERM);
        }
        if (::poll(ожидание, 4, тишина ? тишина->ждать_мс() : -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (ожидание[3].revents != 0)
            ожидание[3].fd = -1;
        for (int i = 0; i < 2; ++i) {
            if (ожидание[i].fd < 0 || ожидание[i].revents == 0)
                continue;
            const ssize_t прочитано = ::read(ожидание[i].fd, буфер, sizeof буфер);
            if (прочитано > 0) {
                if (тишина)
                    тишина->отметить_жизнь();
                const std::string_view часть(буфер, static_cast<std::size_t>(прочитано));
                if (i == 0 && запуск.вывод_частями)
                    запуск.вывод_частями(часть);
                else
                    хвосты[i].добавить(часть);
            } else if (прочитано == 0 || errno != EINTR) {
                ожидание[i].fd = -1;
                --открыто;
            }
        }
        if (тишина && тишина->прошла()) {
            // A process that has ended failed or succeeded by itself.
            const bool жив = конец_процесса.номер >= 0 ? ожидание[3].fd >= 0 : открыто > 0;
            if (жив) {
                ::kill(кому, SIGKILL);
                итог.затих = true;
            }
            break;
        }
    }
    for (auto& хвост : хвосты)
        хвост.закончить();
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

tl::expected<ИтогПроцесса, int> запустить_процесс(const ЗапускПроцесса& запуск) {
    Канал вывод, ошибки;
    if (!открыть(вывод) || !открыть(ошибки))
        return tl::unexpected(errno);

    ДействияСФайлами файлы;
    posix_spawn_file_actions_addopen(&файлы.действия, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&файлы.действия, вывод.запись, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&файлы.действия, ошибки.запись, STDERR_FILENO);
    if (!запуск.папка.empty())
        posix_spawn_file_actions_addchdir_np(&файлы.действия, запуск.папка.c_str());
    СвойстваЗапуска свойства;
    if (запуск.новый_сеанс)
        posix_spawnattr_setflags(&свойства.свойства, POSIX_SPAWN_SETSID);

    const auto argv = указатели(запуск.аргументы);
    const auto envp = запуск.окружение ? указатели(*запуск.окружение) : std::vector<char*>();
    pid_t процесс = 0;
    const int отказ = ::posix_spawnp(&процесс, argv[0], &файлы.действия, &свойства.свойства,
                                     argv.data(), запуск.окружение ? envp.data() : environ);
    Канал::закрыть(вывод.запись);
    Канал::закрыть(ошибки.запись);
    if (отказ != 0)
        return tl::unexpected(отказ);

    ИтогПроцесса итог;
    прочитать_оба(вывод, ошибки, запуск, процесс, итог);
    итог.код_выхода = дождаться(процесс);
    return итог;
}

ИтогС<ИтогПроцесса> выполнить_процесс(const std::vector<std::string>& аргументы) {
    ЗапускПроцесса запуск;
    запуск.аргументы = аргументы;
    auto итог = запустить_процесс(запуск);
    if (!итог)
        return неудача(текст_ошибки_ос(итог.error()));
    return std::move(*итог);
}

}  // namespace vokra::пакеты
