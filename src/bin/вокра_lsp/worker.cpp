#include "вокра_lsp/worker.hpp"

#include <fmt/format.h>
#include <pthread.h>

#include <cstring>

#include "вокра_lsp/messages.hpp"

namespace vokra::lsp {

namespace {

void* выполнить(void* работа) {
    (*static_cast<const std::function<void()>*>(работа))();
    return nullptr;
}

tl::unexpected<ОшибкаСервера> отказ(int код) {
    return tl::unexpected(
        ОшибкаСервера{fmt::format(сообщения::поток_не_запущен, std::strerror(код))});
}

}  // namespace

tl::expected<void, ОшибкаСервера> выполнить_на_большом_стеке(const std::function<void()>& работа) {
    pthread_attr_t свойства;
    if (const int код = pthread_attr_init(&свойства); код != 0)
        return отказ(код);
    int код = pthread_attr_setstacksize(&свойства, размер_стека_работы);
    pthread_t поток;
    if (код == 0)
        код = pthread_create(&поток, &свойства, выполнить,
                             const_cast<std::function<void()>*>(&работа));
    pthread_attr_destroy(&свойства);
    if (код != 0)
        return отказ(код);
    pthread_join(поток, nullptr);
    return {};
}

}  // namespace vokra::lsp
