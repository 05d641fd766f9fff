// The analyser visits the tree's and the resolved types' variants with the
// tree's own overload set.
#pragma once

#include "ast/overload.hpp"

namespace vokra::semantic {

using ast::Перегрузка;

}  // namespace vokra::semantic
