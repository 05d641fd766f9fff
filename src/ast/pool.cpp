#include "ast/pool.hpp"

#include <sys/mman.h>

#include <atomic>

namespace vokra::ast {

namespace {

// Empty slabs a thread keeps for the nodes of its next check, as the heap
// keeps its free pages: beyond them a slab that empties goes back at once.
constexpr std::size_t пустых_в_запасе = 256;

std::atomic<std::size_t> плит_в_процессе{0};

// A slab from the system, aligned to its size: a mapping of twice the size,
// cut down to the aligned part. The slab of a class that has filled one
// already is made resident at once: its nodes will fill it too, and one
// call takes its pages in for less than a fault on each of them would.
Плита* новая_плита(bool заполнится) {
    void* место =
        mmap(nullptr, 2 * размер_плиты, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (место == MAP_FAILED)
        throw std::bad_alloc();
    const auto начало = reinterpret_cast<std::uintptr_t>(место);
    const std::uintptr_t выровненное =
        (начало + размер_плиты - 1) & ~(std::uintptr_t{размер_плиты} - 1);
    if (выровненное > начало)
        munmap(место, выровненное - начало);
    if (const std::uintptr_t хвост = начало + 2 * размер_плиты - выровненное - размер_плиты;
        хвост > 0)
        munmap(reinterpret_cast<void*>(выровненное + размер_плиты), хвост);
    // A system that cannot do it leaves the pages to their first touch.
    if (заполнится)
        (void)madvise(reinterpret_cast<void*>(выровненное), размер_плиты, MADV_POPULATE_WRITE);
    плит_в_процессе.fetch_add(1, std::memory_order_relaxed);
    return ::new (reinterpret_cast<void*>(выровненное)) Плита{};
}

void отдать_системе(Плита* плита) noexcept {
    munmap(плита, размер_плиты);
    плит_в_процессе.fetch_sub(1, std::memory_order_relaxed);
}

// The first node lies past the header, at the alignment of nodes.
constexpr std::size_t начало_узлов =
    (sizeof(Плита) + шаг_размеров_пула - 1) / шаг_размеров_пула * шаг_размеров_пула;

void подготовить(Плита* плита, std::size_t класс) {
    плита->свободные = nullptr;
    плита->нетронутое = reinterpret_cast<char*>(плита) + начало_узлов;
    плита->конец = reinterpret_cast<char*>(плита) + размер_плиты;
    плита->живых = 0;
    плита->класс = класс;
    плита->размер_узла = (класс + 1) * шаг_размеров_пула;
}

void в_список(Плита*& голова, Плита* плита) {
    плита->предыдущая = nullptr;
    плита->следующая = голова;
    if (голова != nullptr)
        голова->предыдущая = плита;
    голова = плита;
}

void из_списка(Плита*& голова, Плита* плита) {
    if (плита->предыдущая != nullptr)
        плита->предыдущая->следующая = плита->следующая;
    else
        голова = плита->следующая;
    if (плита->следующая != nullptr)
        плита->следующая->предыдущая = плита->предыдущая;
    плита->предыдущая = плита->следующая = nullptr;
}

void из_всех(ПулПотока& пул, Плита* плита) {
    if (плита->предыдущая_всех != nullptr)
        плита->предыдущая_всех->следующая_всех = плита->следующая_всех;
    else
        пул.все = плита->следующая_всех;
    if (плита->следующая_всех != nullptr)
        плита->следующая_всех->предыдущая_всех = плита->предыдущая_всех;
    --пул.плит;
}

void удалить_плиту(ПулПотока& пул, Плита* плита) noexcept {
    из_всех(пул, плита);
    отдать_системе(плита);
}

// When the thread ends, its empty slabs go back and the others are left to
// the last of their nodes.
struct СтражПула {
    ~СтражПула() {
        auto& пул = пул_потока;
        for (Плита* плита = пул.все; плита != nullptr;) {
            Плита* следующая = плита->следующая_всех;
            if (плита->живых == 0)
                отдать_системе(плита);
            else
                плита->владелец = nullptr;
            плита = следующая;
        }
        пул = ПулПотока{};
    }
};

thread_local СтражПула страж_пула;

}  // namespace

void* взять_из_пула_медленно(std::size_t класс) {
    auto& пул = пул_потока;
    auto& вид = пул.классы[класс];
    // The current slab is full: it leaves the round until a node is freed
    // there.
    if (вид.текущая != nullptr)
        вид.текущая->в_обороте = false;
    Плита* плита = вид.с_местом;
    if (плита != nullptr) {
        из_списка(вид.с_местом, плита);
    } else if (пул.пустые != nullptr) {
        плита = пул.пустые;
        из_списка(пул.пустые, плита);
        --пул.пустых;
        подготовить(плита, класс);
    } else {
        // The thread's end must see the slabs it holds.
        [[maybe_unused]] auto& страж = страж_пула;
        плита = новая_плита(вид.текущая != nullptr);
        подготовить(плита, класс);
        плита->владелец = &пул;
        плита->следующая_всех = пул.все;
        if (пул.все != nullptr)
            пул.все->предыдущая_всех = плита;
        пул.все = плита;
        ++пул.плит;
    }
    плита->в_обороте = true;
    вид.текущая = плита;
    return память_узла(плита->размер_узла);
}

void вернуть_в_пул_медленно(Плита* плита) noexcept {
    ПулПотока* пул = плита->владелец;
    if (пул == nullptr) {
        if (плита->живых == 0)
            отдать_системе(плита);
        return;
    }
    auto& вид = пул->классы[плита->класс];
    if (плита == вид.текущая)
        return;
    if (плита->живых == 0) {
        if (плита->в_обороте)
            из_списка(вид.с_местом, плита);
        плита->в_обороте = false;
        if (пул->пустых < пустых_в_запасе) {
            в_список(пул->пустые, плита);
            ++пул->пустых;
        } else {
            удалить_плиту(*пул, плита);
        }
        return;
    }
    // It was full: it has room again.
    плита->в_обороте = true;
    в_список(вид.с_местом, плита);
}

void вернуть_пустые_плиты() noexcept {
    auto& пул = пул_потока;
    while (Плита* плита = пул.пустые) {
        из_списка(пул.пустые, плита);
        удалить_плиту(пул, плита);
    }
    пул.пустых = 0;
    for (auto& вид : пул.классы)
        if (вид.текущая != nullptr && вид.текущая->живых == 0) {
            удалить_плиту(пул, вид.текущая);
            вид.текущая = nullptr;
        }
}

std::size_t плит_потока() noexcept {
    return пул_потока.плит;
}

std::size_t плит_процесса() noexcept {
    return плит_в_процессе.load(std::memory_order_relaxed);
}

}  // namespace vokra::ast
