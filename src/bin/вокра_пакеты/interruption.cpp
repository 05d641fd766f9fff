#include "вокра_пакеты/interruption.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "вокра_пакеты/messages.hpp"

namespace vokra::пакеты {

namespace {

volatile sig_atomic_t пришедший_сигнал = 0;
int труба[2] = {-1, -1};

// Only async-signal-safe calls here.
void при_сигнале(int номер) {
    if (пришедший_сигнал != 0) {
        // Asked twice: the person does not want to wait for the clean-up.
        ::signal(номер, SIG_DFL);
        ::raise(номер);
        return;
    }
    пришедший_сигнал = номер;
    const int сохранённый = errno;
    const char байт = 1;
    [[maybe_unused]] const ssize_t записано = ::write(труба[1], &байт, 1);
    errno = сохранённый;
}

}  // namespace

void перехватывать_прерывания() {
    if (труба[0] < 0 && ::pipe2(труба, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    for (const int номер : {SIGINT, SIGTERM}) {
        struct sigaction прежнее {};
        if (::sigaction(номер, nullptr, &прежнее) != 0 || прежнее.sa_handler == SIG_IGN)
            continue;
        struct sigaction действие {};
        действие.sa_handler = при_сигнале;
        sigemptyset(&действие.sa_mask);
        // Calls other than the waits on a child go on as if nothing happened;
        // those waits watch the pipe.
        действие.sa_flags = SA_RESTART;
        ::sigaction(номер, &действие, nullptr);
    }
}

bool прервано() {
    return пришедший_сигнал != 0;
}

int дескриптор_прерывания() {
    return труба[0];
}

Итог проверить_прерывание() {
    if (прервано())
        return неудача(тексты::прервано);
    return {};
}

void завершиться_по_сигналу() {
    const int номер = пришедший_сигнал;
    ::signal(номер, SIG_DFL);
    sigset_t набор;
    sigemptyset(&набор);
    sigaddset(&набор, номер);
    ::sigprocmask(SIG_UNBLOCK, &набор, nullptr);
    ::raise(номер);
    ::_exit(128 + номер);
}

}  // namespace vokra::пакеты
