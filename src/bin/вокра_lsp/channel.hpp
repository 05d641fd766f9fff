// A blocking channel between the transport's threads and the main loop: a
// queue under a mutex, a condition variable to wait on, and a closed mark.
// Values sent before closing are still received after it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace vokra::lsp {

template <typename T>
struct Канал {
    std::mutex замок;
    std::condition_variable сигнал;
    std::deque<T> очередь;
    bool закрыт = false;

    // Returns false, dropping the value, when the channel is already closed.
    bool отправить(T значение) {
        {
            std::lock_guard захват(замок);
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
        return значение;
    }
};

}  // namespace vokra::lsp
