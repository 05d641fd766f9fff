// Texts whose cost lies in what the analyser looks up at every use: a large
// written type read, returned and compared thousands of times, structures
// and contracts of long names used where the names are not written, a
// variable read under hundreds of scopes, a contract named again and again
// after `:`; and declarations whose hover text renders types hundreds of
// levels deep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "generic_shapes.hpp"

namespace vokra::замер {

// Every shape checked as a whole program, in a fixed order.
std::span<const ОбобщённаяФорма> формы_типов();

// A text and the place of a hover request on it.
struct ТекстПодсказки {
    std::string текст;
    std::uint32_t строка = 0;
    std::uint32_t символ = 0;
};

struct ФормаПодсказки {
    std::string_view имя;
    std::size_t меньший, больший;
    ТекстПодсказки (*текст)(std::size_t размер);
};

// Every hover shape, in a fixed order.
std::span<const ФормаПодсказки> формы_подсказок();

}  // namespace vokra::замер
