#include "вокра_lsp/worker.hpp"

#include <fmt/format.h>

#include <cstring>

#include "вокра_lsp/messages.hpp"

namespace vokra::lsp {

tl::expected<void, ОшибкаСервера> выполнить_на_большом_стеке(const std::function<void()>& работа) {
    if (const int код = ast::выполнить_на_стеке(работа); код != 0)
        return tl::unexpected(
            ОшибкаСервера{fmt::format(сообщения::поток_не_запущен, std::strerror(код))});
    return {};
}

}  // namespace vokra::lsp
