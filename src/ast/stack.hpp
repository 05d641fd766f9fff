// The stack a check takes on its thread, measured where it is: the distance
// from the thread's start to the current frame. The parser, the index
// rewrite and the analyser ask at the entries of their recursion whether the
// caller's frame lies past the limit; those that can fail end the check
// there with an error that says so, the walks that cannot stop descending.
// A watch over one check (ЗамерСтека) tells afterwards whether any part of it
// met the limit, so that a walk that stopped short can never pass for a
// complete one. Counting levels bounds no stack: one nested generic instance
// repeats every frame of a body, however few levels each body has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>

#include "ast/pool.hpp"

namespace vokra::ast {

// The stack one check may take, counted from its thread's start. Touched
// pages stay with the process, so it is small beside the server's memory
// bound; the deepest text the parser accepts takes about a tenth of it.
inline constexpr std::size_t бюджет_стека = std::size_t{16} << 20;

// The stack of the thread the language server checks on, and its tests,
// benchmarks and fuzzing with it: address space, its pages taken only as
// frames reach them. Past the budget it leaves room for the walks between
// two measures; a thread's limit is the budget only on a stack of four
// thirds of it.
inline constexpr std::size_t стек_потока_проверки = std::size_t{256} << 20;
static_assert(стек_потока_проверки / 4 * 3 >= бюджет_стека);

// The state of the calling thread.
struct СтекПотока {
    // The lowest address a frame may reach within the limit; 0 until it is
    // first asked for.
    std::uintptr_t граница = 0;
    // Whether a frame has been past граница since the current watch began.
    bool исчерпан = false;
};

inline thread_local СтекПотока стек_потока;

// The limit of this thread: бюджет_стека below the thread's start, or three
// quarters of the thread's own stack when that is smaller, so that what
// runs past the last question stays within the stack a thread of any size
// has.
std::uintptr_t граница_стека_потока();

// Whether the caller's frame lies past its thread's limit, without a record
// of it.
[[gnu::always_inline]] inline bool за_пределом_стека() {
    auto& стек = стек_потока;
    if (стек.граница == 0) [[unlikely]]
        стек.граница = граница_стека_потока();
    return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) < стек.граница;
}

// The same, recorded for the current watch when it is past.
[[gnu::always_inline]] inline bool стек_исчерпан() {
    if (!за_пределом_стека()) [[likely]]
        return false;
    стек_потока.исчерпан = true;
    return true;
}

// An object whose destruction was put off: it was to be freed past the
// limit, and its own children would have gone deeper still.
struct Отложенное {
    void* объект;
    void (*удалить)(void*);
};

// Puts the destruction off until the thread frees what was put off; frees
// the object at once when even that cannot be recorded.
void отложить(Отложенное отложенное) noexcept;

// Frees everything put off on this thread, each object from this frame,
// until nothing is left.
void освободить_отложенное() noexcept;

// Destroys what создать (box.hpp) made and gives its memory back. A node
// may hand over the child a chain of its kind goes deep through
// (отделить_вложенный_узел, found with the node's type): that child is freed
// next, in this frame, so a chain takes no frame per level.
template <class T>
void удалить_узел(T* объект) noexcept {
    while (объект != nullptr) {
        T* вложенный = nullptr;
        if constexpr (requires { отделить_вложенный_узел(*объект); })
            вложенный = отделить_вложенный_узел(*объект);
        объект->~T();
        освободить_память_узла(объект, sizeof(T));
        объект = вложенный;
    }
}

// Deletes `объект` here, or later when this frame lies past the limit.
template <class T>
void удалить_в_пределе_стека(T* объект) noexcept {
    if (объект == nullptr)
        return;
    if (за_пределом_стека()) [[unlikely]] {
        отложить({объект, [](void* о) { удалить_узел(static_cast<T*>(о)); }});
        return;
    }
    удалить_узел(объект);
}

// Runs `работа` on a new thread with `размер` bytes of stack and waits for
// it. 0, or the error number of a thread that could not be started.
int выполнить_на_стеке(const std::function<void()>& работа,
                       std::size_t размер = стек_потока_проверки);

// Gives the pages of this thread's stack that lie more than `запас` bytes
// below the caller's frame back to the system: a check that went deep
// touched them, and the process would keep them once it ended.
void вернуть_страницы_стека(std::size_t запас);

// One check's watch over its thread's stack, from construction to
// destruction; a watch opened inside another hands what it saw on to it.
// When it ends it frees what was put off during the check.
struct ЗамерСтека {
    bool прежний;

    ЗамерСтека() : прежний(std::exchange(стек_потока.исчерпан, false)) {}
    ЗамерСтека(const ЗамерСтека&) = delete;
    ЗамерСтека& operator=(const ЗамерСтека&) = delete;
    ~ЗамерСтека() {
        освободить_отложенное();
        стек_потока.исчерпан = стек_потока.исчерпан || прежний;
    }

    // Whether a frame of the check has been past the limit so far.
    bool исчерпан() const { return стек_потока.исчерпан; }
};

}  // namespace vokra::ast
