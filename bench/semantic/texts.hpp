// Building the texts of the benchmarks: a piece repeated, a word written many
// times, and a piece nested in another.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vokra::замер {

// `повторить(n, f)`: f(0) … f(n - 1) joined.
inline std::string повторить(std::size_t раз,
                             const std::function<std::string(std::size_t)>& кусок) {
    std::string текст;
    for (std::size_t i = 0; i < раз; ++i)
        текст += кусок(i);
    return текст;
}

// `буква` written `раз` times.
inline std::string буквы(std::string_view буква, std::size_t раз) {
    std::string текст;
    текст.reserve(буква.size() * раз);
    for (std::size_t i = 0; i < раз; ++i)
        текст += буква;
    return текст;
}

// `середина` inside `открыть` written `раз` times and `закрыть` as many.
inline std::string вложить(std::size_t раз, std::string_view открыть, std::string_view середина,
                           std::string_view закрыть) {
    return буквы(открыть, раз) + std::string(середина) + буквы(закрыть, раз);
}

}  // namespace vokra::замер
