#include "ast/pool.hpp"

#include <sys/mman.h>

#include <atomic>
#include <mutex>

namespace vokra::ast {

namespace {

// Empty slabs a thread keeps for the nodes of its next check, as the heap
// keeps its free pages: beyond them a slab that empties goes back at once.
constexpr std::size_t пустых_в_запасе = 256;

std::atomic<std::size_t> плит_в_процессе{0};

// Slabs are cut from mappings of this size, aligned to it, that the system
// may back with huge pages: a large tree then takes its memory in a few
// faults instead of one per page, which costs more than making its nodes.
// Each slab still goes back on its own.
constexpr std::size_t размер_группы = std::size_t{2} << 20;
static_assert(размер_группы % размер_плиты == 0);

// Huge pages only once the process holds this many slabs: a huge page is
// resident whole however few nodes stand in it, so the slabs of a small
// tree, one per size of node, would keep megabytes at rest.
constexpr std::size_t плит_до_больших_страниц = 32;

// The part of the last group no slab has taken yet, for every thread: a
// thread that ends leaves it to the next.
struct ОстатокГруппы {
    std::mutex замок;
    std::uintptr_t начало = 0;
    std::uintptr_t конец = 0;
};

ОстатокГруппы остаток_группы;

// A mapping of `размер` bytes aligned to its size: twice the size mapped,
// then cut down to the aligned part. 0 when the system has no memory.
std::uintptr_t выровненное_отображение(std::size_t размер) {
    void* место =
        mmap(nullptr, 2 * размер, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (место == MAP_FAILED)
        return 0;
    const auto начало = reinterpret_cast<std::uintptr_t>(место);
    const std::uintptr_t выровненное = (начало + размер - 1) & ~(std::uintptr_t{размер} - 1);
    if (выровненное > начало)
        munmap(место, выровненное - начало);
    if (const std::uintptr_t хвост = начало + 2 * размер - выровненное - размер; хвост > 0)
        munmap(reinterpret_cast<void*>(выровненное + размер), хвост);
    return выровненное;
}

// A slab from the system, aligned to its size, the next of the current group.
// The slab of a class that has filled one already is made resident at once:
// its nodes will fill it too, and one call takes its pages in for less than
// a fault on each of them would.
Плита* новая_плита(bool заполнится) {
    std::uintptr_t место = 0;
    {
        const std::lock_guard замок(остаток_группы.замок);
        if (остаток_группы.начало == остаток_группы.конец) {
            const std::uintptr_t группа = выровненное_отображение(размер_группы);
            if (группа == 0)
                throw std::bad_alloc();
            // Only a hint: without it the group has pages of the usual size.
            if (плит_в_процессе.load(std::memory_order_relaxed) >= плит_до_больших_страниц)
                madvise(reinterpret_cast<void*>(группа), размер_группы, MADV_HUGEPAGE);
            остаток_группы.начало = группа;
            остаток_группы.конец = группа + размер_группы;
        }
        место = остаток_группы.начало;
        остаток_группы.начало += размер_плиты;
    }
    // A system that cannot do it leaves the pages to their first touch.
    if (заполнится)
        (void)madvise(reinterpret_cast<void*>(место), размер_плиты, MADV_POPULATE_WRITE);
    плит_в_процессе.fetch_add(1, std::memory_order_relaxed);
    return ::new (reinterpret_cast<void*>(место)) Плита{};
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
