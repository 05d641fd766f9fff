// SIGINT and SIGTERM end the program only after it has cleaned up after
// itself: the handler just records the signal and wakes a wait on a child;
// the command then unwinds as from any failure, its temporary folders going
// with their owners, and the program ends by the same signal.
#pragma once

#include "вокра_пакеты/result.hpp"

namespace vokra::пакеты {

// Installs the handlers. A signal that the program was started with ignored
// stays ignored. A second signal ends the program at once.
void перехватывать_прерывания();

// Whether a signal asked the program to stop.
bool прервано();

// A descriptor that becomes readable once a signal came, for waits that poll;
// -1 while no handler is installed.
int дескриптор_прерывания();

// A failure once a signal came, so that the command stops at this point.
Итог проверить_прерывание();

// Ends the process by the signal that interrupted it, with the signal's own
// default action, so the caller sees a death by that signal.
[[noreturn]] void завершиться_по_сигналу();

}  // namespace vokra::пакеты
