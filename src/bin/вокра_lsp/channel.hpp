// A blocking channel between the transport's threads and the main loop: a
// bounded queue under a mutex, condition variables to wait on, and a closed
// mark. A sender waits while the queue is full, so a side that stops taking
// values stops the other instead of letting the queue grow. Values sent
// before closing are still received after it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>

namespace vokra::lsp {

template <typename T>
struct Канал {
    std::size_t ёмкость = std::numeric_limits<std::size_t>::max();
    std::mutex замок;
    std::condition_variable сигнал;
    std::condition_variable место;
    std::deque<T> очередь;
    bool закрыт = false;

    Канал() = default;
    explicit Канал(std::size_t ё) : ёмкость(ё) {}

    // Waits while the queue is full. Returns false, dropping the value, when
    // the channel is closed before the value could be queued.
    bool отправить(T значение) { return переслать(значение); }

    // The same, but the value is moved in only once the queue holds it:
    // should the queue fail to grow for lack of memory, std::bad_alloc
    // leaves the value with the caller.
    bool переслать(T& значение) {
        {
            std::unique_lock захват(замок);
            место.wait(захват, [this] { return очередь.size() < ёмкость || закрыт; });
            if (закрыт)
                return false;
            очередь.push_back(std::move(значение));
        }
        сигнал.notify_one();
        return true;
    }

    void закрыть() {
        {
            std::lock_guard захват(замок);
            закрыт = true;
        }
        сигнал.notify_all();
        место.notify_all();
    }

    // Waits for the next value; nothing once the channel is closed and empty.
    std::optional<T> получить() {
        std::unique_lock захват(замок);
        сигнал.wait(захват, [this] { return !очередь.empty() || закрыт; });
        return взять();
    }

    struct ПриёмСоСроком {
        std::optional<T> значение;
        bool срок_вышел = false;
    };

    // Like получить, but gives up when the time runs out first.
    ПриёмСоСроком получить_за(std::chrono::milliseconds срок) {
        std::unique_lock захват(замок);
        if (!сигнал.wait_for(захват, срок, [this] { return !очередь.empty() || закрыт; }))
            return {std::nullopt, true};
        return {взять(), false};
    }

  private:
    std::optional<T> взять() {
        if (очередь.empty())
            return std::nullopt;
        T значение = std::move(очередь.front());
        очередь.pop_front();
        // Called under the lock; a waiting sender wakes once it is released.
        место.notify_one();
        return значение;
    }
};

}  // namespace vokra::lsp
