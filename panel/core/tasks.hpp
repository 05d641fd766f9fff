#pragma once

// Background tasks: a script body runs in a wrapper under `sh` in the
// background, in a process group of its own; the frame loop polls its
// completion marker and turns the outcome into state changes and dialogs.
// Task files live in a private folder that is checked before each task and
// made anew when it is no longer the panel's own, and each task has a number
// of its own. A task given up after the time-out is ended with everything it
// started, and so is the running one when the panel ends.

#include <cstdint>
#include <string>
#include <string_view>

#include "panel/core/state.hpp"

namespace vokra::panel {

// Path of one of the current task's files: suffix "sh", "log", "done" or
// "json", in the private folder as checked now. Empty when no private folder
// can be made.
std::string файл_задачи(std::string_view суффикс);

// One guarded line of a body: step + " || exit 1\n".
std::string с_проверкой(std::string_view шаг);

// Writes the wrapper and starts it; false when that fails.
bool запустить_задачу(СостояниеПриложения& состояние, std::int64_t вид, std::string_view тело);

// 0 success, 1 failure, −2 not finished.
std::int64_t проверить_метку();

// `результат`: the value of `проверить_метку`, or −1 for the time-out.
void завершить_задачу(СостояниеПриложения& состояние, std::int64_t результат);

// Starts the task and shows the status text, or opens the start-failure
// dialog. An install into a folder that cannot be put on PATH safely, a
// relative one included, is refused with a dialog.
void начать_задачу_или_ошибка(СостояниеПриложения& состояние, std::int64_t вид,
                              std::string_view тело, std::string_view текст_статуса);

// One line of the task log for error dialogs.
std::string текст_лога_кратко();

// Ends the running task's whole process group and removes the task folders
// that are still the panel's own; at the panel's end.
void закончить_задачи();

}  // namespace vokra::panel
