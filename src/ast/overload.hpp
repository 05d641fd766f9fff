// The overload set of several lambdas, for std::visit over the tree's
// variants and for the visitors of the tree walk: a kind without a matching
// lambda fails to compile.
#pragma once

namespace vokra::ast {

template <class... Лямбды>
struct Перегрузка : Лямбды... {
    using Лямбды::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang 14).
template <class... Лямбды>
Перегрузка(Лямбды...) -> Перегрузка<Лямбды...>;

}  // namespace vokra::ast
