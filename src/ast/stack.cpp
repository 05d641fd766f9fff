#include "ast/stack.hpp"

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <optional>
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

// The lowest address of this thread's stack and its size, as the system
// gives them.
struct СтекПоСистеме {
    std::uintptr_t низ;
    std::size_t размер;
};

std::optional<СтекПоСистеме> стек_по_системе() {
    pthread_attr_t свойства;
    if (pthread_getattr_np(pthread_self(), &свойства) != 0)
        return std::nullopt;
    void* низ = nullptr;
    std::size_t размер = 0;
    const bool есть = pthread_attr_getstack(&свойства, &низ, &размер) == 0 && размер > 0;
    pthread_attr_destroy(&свойства);
    if (!есть)
        return std::nullopt;
    return СтекПоСистеме{reinterpret_cast<std::uintptr_t>(низ), размер};
}

}  // namespace

std::uintptr_t граница_стека_потока() {
    std::uintptr_t начало = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    std::size_t размер = стек_по_умолчанию;
    if (const auto стек = стек_по_системе()) {
        начало = стек->низ + стек->размер;
        размер = стек->размер;
    }
    const std::size_t предел = std::min(бюджет_стека, размер / 4 * 3);
    // Never 0, which means "not yet asked".
    return начало > предел ? начало - предел : 1;
}

int выполнить_на_стеке(const std::function<void()>& работа, std::size_t размер) {
    pthread_attr_t свойства;
    if (const int код = pthread_attr_init(&свойства); код != 0)
        return код;
    int код = pthread_attr_setstacksize(&свойства, размер);
    pthread_t поток;
    if (код == 0)
        код = pthread_create(
            &поток, &свойства,
            [](void* р) -> void* {
                (*static_cast<const std::function<void()>*>(р))();
                return nullptr;
            },
            const_cast<std::function<void()>*>(&работа));
    pthread_attr_destroy(&свойства);
    if (код == 0)
        pthread_join(поток, nullptr);
    return код;
}

void вернуть_страницы_стека(std::size_t запас) {
    const auto стек = стек_по_системе();
    const auto кадр = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    if (!стек || кадр < стек->низ + запас)
        return;
    const auto страница = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t верх = (кадр - запас) / страница * страница;
    if (верх > стек->низ)
        madvise(reinterpret_cast<void*>(стек->низ), верх - стек->низ, MADV_DONTNEED);
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
    // A check stopped past the limit may have put off many; the list is not
    // kept at that size.
    constexpr std::size_t сохраняемых = 1024;
    if (объекты.capacity() > сохраняемых)
        std::vector<Отложенное>().swap(объекты);
}

}  // namespace vokra::ast
