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
    // The check went deeper than its thread's stack allows (ast/stack.hpp);
    // the message is then empty: the program was not checked to its end,
    // and the caller that shows the stop words it.
    bool стек_исчерпан = false;
};

template <class T>
using Итог = tl::expected<T, ОшибкаАнализатора>;

// An error with the given text and no line yet.
inline tl::unexpected<ОшибкаАнализатора> ошибка(std::string сообщение) {
    return tl::unexpected(ОшибкаАнализатора{std::nullopt, std::move(сообщение)});
}

// The stop past the stack's limit.
inline tl::unexpected<ОшибкаАнализатора> ошибка_стека() {
    return tl::unexpected(ОшибкаАнализатора{std::nullopt, {}, true});
}

}  // namespace vokra::semantic
