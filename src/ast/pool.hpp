// The memory of the syntax tree's nodes: a check makes and frees a node per
// token or two, and the heap's general allocator costs more per node than
// the parser's work on it. Small nodes come instead from slabs of one size
// each, held by the thread that made them: taking a node is a pop from the
// slab's free list or a step through its untouched part, returning one a
// push. A slab goes back to the system once all its nodes are free and the
// thread keeps no more empty ones than a bound (вернуть_пустые_плиты gives
// those back too, around a large check). A thread's nodes are made and freed
// by one thread at a time: the server's work all runs on one thread, and a
// tree made on a thread that has ended may be freed on any other. Under the
// address sanitizer every node comes from the heap, so that it sees them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace vokra::ast {

// Nodes up to this size come from the pool; larger ones from the heap.
inline constexpr std::size_t наибольший_узел_пула = 256;
// Sizes are rounded up to a multiple of this, the alignment nodes get.
inline constexpr std::size_t шаг_размеров_пула = 8;
inline constexpr std::size_t классов_пула = наибольший_узел_пула / шаг_размеров_пула;
// Each slab is aligned to its size, so a node's slab is found from its
// address.
inline constexpr std::size_t размер_плиты = std::size_t{256} << 10;

struct ПулПотока;

struct СвободныйУзел {
    СвободныйУзел* следующий;
};

// The header at the start of a slab; its nodes follow.
struct Плита {
    СвободныйУзел* свободные = nullptr;
    // The part no node has taken yet.
    char* нетронутое = nullptr;
    char* конец = nullptr;
    std::size_t живых = 0;
    std::size_t размер_узла = 0;
    std::size_t класс = 0;
    // None once the thread that held the slab has ended: the last node
    // freed then gives the slab back.
    ПулПотока* владелец = nullptr;
    // The slab is its class's current one, or on its list of slabs with
    // room: a node freed there needs nothing more.
    bool в_обороте = false;
    // Links of the class's list of slabs with room, and of the empty ones.
    Плита* предыдущая = nullptr;
    Плита* следующая = nullptr;
    // Links of the list of every slab the thread holds.
    Плита* предыдущая_всех = nullptr;
    Плита* следующая_всех = nullptr;
};

struct КлассПула {
    Плита* текущая = nullptr;
    Плита* с_местом = nullptr;
};

struct ПулПотока {
    КлассПула классы[классов_пула];
    Плита* все = nullptr;
    Плита* пустые = nullptr;
    std::size_t пустых = 0;
    std::size_t плит = 0;
};

inline thread_local constinit ПулПотока пул_потока{};

[[gnu::noinline]] void* взять_из_пула_медленно(std::size_t класс);
[[gnu::noinline]] void вернуть_в_пул_медленно(Плита* плита) noexcept;

inline Плита* плита_узла(void* узел) {
    return reinterpret_cast<Плита*>(reinterpret_cast<std::uintptr_t>(узел) &
                                    ~(std::uintptr_t{размер_плиты} - 1));
}

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool пул_включён = false;
#else
inline constexpr bool пул_включён = true;
#endif

// Memory for a node of `размер` bytes, aligned to шаг_размеров_пула or, past
// наибольший_узел_пула, as the heap aligns; std::bad_alloc when there is none.
[[gnu::always_inline]] inline void* память_узла(std::size_t размер) {
    if (!пул_включён || размер > наибольший_узел_пула)
        return ::operator new(размер);
    const std::size_t класс = (размер + шаг_размеров_пула - 1) / шаг_размеров_пула - (размер > 0);
    Плита* плита = пул_потока.классы[класс].текущая;
    if (плита != nullptr) [[likely]] {
        if (СвободныйУзел* узел = плита->свободные) {
            плита->свободные = узел->следующий;
            ++плита->живых;
            return узел;
        }
        if (static_cast<std::size_t>(плита->конец - плита->нетронутое) >= плита->размер_узла) {
            void* узел = плита->нетронутое;
            плита->нетронутое += плита->размер_узла;
            ++плита->живых;
            return узел;
        }
    }
    return взять_из_пула_медленно(класс);
}

// Gives back what память_узла gave for the same size.
[[gnu::always_inline]] inline void освободить_память_узла(void* память,
                                                          std::size_t размер) noexcept {
    if (!пул_включён || размер > наибольший_узел_пула) {
        ::operator delete(память);
        return;
    }
    Плита* плита = плита_узла(память);
    auto* узел = static_cast<СвободныйУзел*>(память);
    узел->следующий = плита->свободные;
    плита->свободные = узел;
    if (--плита->живых == 0 || !плита->в_обороте) [[unlikely]]
        вернуть_в_пул_медленно(плита);
}

// The allocator of a container a node holds its children in, so that a short
// list of them comes from the pool too.
template <class T>
struct АллокаторУзлов {
    using value_type = T;

    АллокаторУзлов() = default;
    template <class U>
    АллокаторУзлов(const АллокаторУзлов<U>&)
    noexcept {}

    T* allocate(std::size_t число) {
        static_assert(alignof(T) <= шаг_размеров_пула);
        if (число > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(память_узла(число * sizeof(T)));
    }
    void deallocate(T* память, std::size_t число) noexcept {
        освободить_память_узла(память, число * sizeof(T));
    }
    friend bool operator==(const АллокаторУзлов&, const АллокаторУзлов&) { return true; }
};

// Gives the calling thread's empty slabs back to the system.
void вернуть_пустые_плиты() noexcept;

// The slabs the calling thread holds, empty ones included, and those of
// every thread, a thread that has ended included.
std::size_t плит_потока() noexcept;
std::size_t плит_процесса() noexcept;

}  // namespace vokra::ast
