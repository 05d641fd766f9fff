// The analyser's only error: the first fault it meets, as a finished message,
// with the line of the statement under check once the statement check has
// filled it in.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <tl/expected.hpp>

namespace vokra::semantic {

struct ОшибкаАнализатора {
    std::optional<std::size_t> строка;
    std::string сообщение;
};

template <class T>
using Итог = tl::expected<T, ОшибкаАнализатора>;

// An error with the given text and no line yet.
inline tl::unexpected<ОшибкаАнализатора> ошибка(std::string сообщение) {
    return tl::unexpected(ОшибкаАнализатора{std::nullopt, std::move(сообщение)});
}

}  // namespace vokra::semantic
