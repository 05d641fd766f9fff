// The result of every command and of every step that can fail: success or one
// finished Russian message.
#pragma once

#include <string>
#include <tl/expected.hpp>

namespace vokra::пакеты {

using Итог = tl::expected<void, std::string>;

template <typename Значение>
using ИтогС = tl::expected<Значение, std::string>;

inline tl::unexpected<std::string> неудача(std::string сообщение) {
    return tl::unexpected<std::string>(std::move(сообщение));
}

}  // namespace vokra::пакеты
