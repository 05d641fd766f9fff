#include "panel/core/processes.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "panel/core/files.hpp"

extern char** environ;

namespace vokra::panel {

namespace {

using namespace std::chrono_literals;

// How long a group has to end after TERM, and its leader after KILL, in
// steps of `шаг_ожидания`; the frame loop stops for at most this long.
constexpr auto шаг_ожидания = 5ms;
constexpr int шагов_ожидания = 40;

// A record of posix_spawn's, set up and destroyed with its owner.
template <typename Запись, int (*начать)(Запись*), int (*убрать)(Запись*)>
struct ЗаписьЗапуска {
    Запись запись;
    ЗаписьЗапуска() { начать(&запись); }
    ~ЗаписьЗапуска() { убрать(&запись); }
    ЗаписьЗапуска(const ЗаписьЗапуска&) = delete;
    ЗаписьЗапуска& operator=(const ЗаписьЗапуска&) = delete;
};
using ДействияЗапуска = ЗаписьЗапуска<posix_spawn_file_actions_t, posix_spawn_file_actions_init,
                                      posix_spawn_file_actions_destroy>;
using СвойстваЗапуска =
    ЗаписьЗапуска<posix_spawnattr_t, posix_spawnattr_init, posix_spawnattr_destroy>;

// A copy of the descriptor above the ones the shell is given, so that
// placing one at 3 or 4 never overwrites the other.
Дескриптор выше_стандартных(int файл) {
    return Дескриптор(::fcntl(файл, F_DUPFD_CLOEXEC, 10));
}

// Whether the leader has ended, without waiting for it.
bool закончился(pid_t лидер) {
    siginfo_t сведения{};
    return ::waitid(P_PID, static_cast<id_t>(лидер), &сведения, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           сведения.si_pid == лидер;
}

}  // namespace

tl::expected<pid_t, int> запустить_в_своей_группе(const std::string& текст, int журнал, int метка) {
    const Дескриптор лог = выше_стандартных(журнал);
    const Дескриптор итог = выше_стандартных(метка);
    if (!лог.открыт() || !итог.открыт()) {
        return tl::unexpected(errno);
    }
    ДействияЗапуска файлы;
    posix_spawn_file_actions_addopen(&файлы.запись, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&файлы.запись, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&файлы.запись, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_adddup2(&файлы.запись, лог.номер, 3);
    posix_spawn_file_actions_adddup2(&файлы.запись, итог.номер, 4);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // Nothing else of the panel's (its font, a pipe it was given) stays open
    // in the task, which may run on after what holds the other end.
    posix_spawn_file_actions_addclosefrom_np(&файлы.запись, 5);
#endif

    // A group of its own, no blocked signals, and the signals that end a
    // process doing so again whatever the panel did with them.
    СвойстваЗапуска свойства;
    sigset_t пустое, по_умолчанию;
    sigemptyset(&пустое);
    sigemptyset(&по_умолчанию);
    for (const int сигнал : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGTERM}) {
        sigaddset(&по_умолчанию, сигнал);
    }
    posix_spawnattr_setpgroup(&свойства.запись, 0);
    posix_spawnattr_setsigmask(&свойства.запись, &пустое);
    posix_spawnattr_setsigdefault(&свойства.запись, &по_умолчанию);
    posix_spawnattr_setflags(
        &свойства.запись, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    char оболочка[] = "sh";
    char команда[] = "-c";
    std::string скрипт = текст;
    char* const аргументы[] = {оболочка, команда, скрипт.data(), nullptr};
    pid_t лидер = 0;
    const int отказ =
        ::posix_spawn(&лидер, "/bin/sh", &файлы.запись, &свойства.запись, аргументы, environ);
    if (отказ != 0) {
        return tl::unexpected(отказ);
    }
    return лидер;
}

bool закончить_группу(pid_t лидер) {
    ::kill(-лидер, SIGTERM);
    for (int шаг = 0; шаг < шагов_ожидания && !закончился(лидер); ++шаг) {
        std::this_thread::sleep_for(шаг_ожидания);
    }
    // Whatever of the group is left: the leader is not waited for yet, so
    // the group's number is still this group's.
    ::kill(-лидер, SIGKILL);
    for (int шаг = 0; шаг < шагов_ожидания; ++шаг) {
        if (дождаться_если_закончился(лидер)) {
            return true;
        }
        std::this_thread::sleep_for(шаг_ожидания);
    }
    return false;
}

bool дождаться_если_закончился(pid_t лидер) {
    while (true) {
        const pid_t ответ = ::waitpid(лидер, nullptr, WNOHANG);
        if (ответ == лидер || (ответ < 0 && errno == ECHILD)) {
            return true;
        }
        if (ответ < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

}  // namespace vokra::panel
