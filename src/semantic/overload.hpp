// An overload set of lambdas for exhaustive std::visit over the tree's and
// the types' variants: a kind without a matching lambda fails to compile.
#pragma once

namespace vokra::semantic {

template <class... Ф>
struct Перегрузка : Ф... {
    using Ф::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang 14).
template <class... Ф>
Перегрузка(Ф...) -> Перегрузка<Ф...>;

}  // namespace vokra::semantic
