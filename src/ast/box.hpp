// An owning box for the recursive children of the syntax tree. Unlike a bare
// unique_ptr it copies: copying a box copies the whole subtree it holds, so
// no two nodes ever share a child.
#pragma once

#include <memory>
#include <utility>

namespace vokra::ast {

template <class T>
struct Коробка {
    std::unique_ptr<T> указатель;

    Коробка() = default;
    Коробка(T значение) : указатель(std::make_unique<T>(std::move(значение))) {}
    Коробка(const Коробка& другая)
        : указатель(другая.указатель ? std::make_unique<T>(*другая.указатель) : nullptr) {}
    Коробка(Коробка&&) noexcept = default;
    Коробка& operator=(const Коробка& другая) {
        if (this != &другая)
            указатель = другая.указатель ? std::make_unique<T>(*другая.указатель) : nullptr;
        return *this;
    }
    Коробка& operator=(Коробка&&) noexcept = default;

    T& operator*() { return *указатель; }
    const T& operator*() const { return *указатель; }
    T* operator->() { return указатель.get(); }
    const T* operator->() const { return указатель.get(); }
};

}  // namespace vokra::ast
