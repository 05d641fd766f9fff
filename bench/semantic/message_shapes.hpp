// Message bodies whose cost lies in the server's reading of them rather than
// in the check: deep nesting and masses of values in members no decoder
// reads, texts full of characters that must be read as U+FFFD, long lists
// of changes. Each is one whole body as a client frames it; `размер` sets
// how far it goes.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace vokra::замер {

struct ФормаСообщения {
    std::string_view имя;
    // The two sizes the benchmarks run; the larger comes to about 1 MB.
    std::size_t меньший, больший;
    std::string (*тело)(std::size_t размер);
};

// Every shape, in a fixed order.
std::span<const ФормаСообщения> формы_сообщений();

}  // namespace vokra::замер
