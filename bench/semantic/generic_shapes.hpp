// Texts whose cost lies in generic instantiation: the shapes an untrusted
// file may take to make the analyser build ever more or ever larger
// instances. Each is a whole program; `размер` sets how far it goes.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace vokra::замер {

struct ОбобщённаяФорма {
    std::string_view имя;
    // The two sizes the benchmarks run; the larger is the one to fear.
    std::size_t меньший, больший;
    std::string (*текст)(std::size_t размер);
};

// `обёрток` wrappers written around `целое`, each opened with `открыть` and
// closed with `закрыть`.
std::string глубокий_тип(std::size_t обёрток, std::string_view открыть, std::string_view закрыть);

// Every shape, in a fixed order.
std::span<const ОбобщённаяФорма> обобщённые_формы();
// Instances nested one inside the other, each holding the frames of a deep
// body on the stack (nested_shapes.cpp).
std::span<const ОбобщённаяФорма> вложенные_формы();

}  // namespace vokra::замер
