// Texts whose cost lies in the lexer, the parser and the index rewrite: the
// shapes an untrusted file may take to make reading it slow or large. Each
// is a whole program; `размер` sets how far it goes.
#pragma once

#include <span>

#include "generic_shapes.hpp"

namespace vokra::замер {

// Every shape, in a fixed order.
std::span<const ОбобщённаяФорма> формы_разбора();

}  // namespace vokra::замер
