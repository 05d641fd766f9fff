#include "ast/stack.hpp"

#include <pthread.h>

#include <algorithm>
#include <new>
#include <vector>

namespace vokra::ast {

namespace {

// What a thread has when the system does not say: the default stack of a
// thread of this system.
constexpr std::size_t стек_по_умолчанию = std::size_t{8} << 20;

// Objects put off on this thread. Whatever is left when the thread ends is
// freed then, from the thread's last frames.
struct СписокОтложенного {
    std::vector<Отложенное> объекты;

    ~СписокОтложенного() { освободить_отложенное(); }
};

thread_local СписокОтложенного отложенное_потока;

}  // namespace

std::uintptr_t граница_стека_потока() {
    const auto кадр = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    std::uintptr_t начало = кадр;
    std::size_t размер = стек_по_умолчанию;
    pthread_attr_t свойства;
    if (pthread_getattr_np(pthread_self(), &свойства) == 0) {
        void* низ = nullptr;
        std::size_t байтов = 0;
        if (pthread_attr_getstack(&свойства, &низ, &байтов) == 0 && байтов > 0) {
            начало = reinterpret_cast<std::uintptr_t>(низ) + байтов;
            размер = байтов;
        }
        pthread_attr_destroy(&свойства);
    }
    const std::size_t предел = std::min(бюджет_стека, размер / 4 * 3);
    // Never 0, which means "not yet asked".
    return начало > предел ? начало - предел : 1;
}

void отложить(Отложенное отложенное) noexcept {
    try {
        отложенное_потока.объекты.push_back(отложенное);
    } catch (const std::bad_alloc&) {
        отложенное.удалить(отложенное.объект);
    }
}

void освободить_отложенное() noexcept {
    auto& объекты = отложенное_потока.объекты;
    // Freeing one may put off more, its children past the limit again.
    while (!объекты.empty()) {
        const Отложенное последнее = объекты.back();
        объекты.pop_back();
        последнее.удалить(последнее.объект);
    }
}

}  // namespace vokra::ast
