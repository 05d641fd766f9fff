// An owning box for the recursive children of the syntax tree. Unlike a bare
// unique_ptr it copies: copying a box copies the whole subtree it holds, so
// no two nodes ever share a child.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

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

// A list of tree nodes held through one pointer: eight bytes in its node
// instead of a vector's twenty-four, for lists that are mostly empty or rare
// (type arguments). An empty list holds nothing. It reads as the vector it
// holds, so code that takes a std::vector takes it unchanged.
template <class T>
struct УзкийСписок {
    std::unique_ptr<std::vector<T>> список;

    УзкийСписок() = default;
    УзкийСписок(std::vector<T> элементы)
        : список(элементы.empty() ? nullptr
                                  : std::make_unique<std::vector<T>>(std::move(элементы))) {}
    УзкийСписок(std::initializer_list<T> элементы) : УзкийСписок(std::vector<T>(элементы)) {}
    УзкийСписок(const УзкийСписок& другой)
        : список(другой.список ? std::make_unique<std::vector<T>>(*другой.список) : nullptr) {}
    УзкийСписок(УзкийСписок&&) noexcept = default;
    УзкийСписок& operator=(const УзкийСписок& другой) {
        if (this != &другой)
            список = другой.список ? std::make_unique<std::vector<T>>(*другой.список) : nullptr;
        return *this;
    }
    УзкийСписок& operator=(УзкийСписок&&) noexcept = default;

    const std::vector<T>& вектор() const {
        static const std::vector<T> пустой;
        return список ? *список : пустой;
    }
    std::vector<T>& вектор() {
        if (!список)
            список = std::make_unique<std::vector<T>>();
        return *список;
    }
    operator const std::vector<T>&() const { return вектор(); }
    operator std::vector<T>&() { return вектор(); }

    std::size_t size() const { return список ? список->size() : 0; }
    bool empty() const { return size() == 0; }
    const T& operator[](std::size_t номер) const { return (*список)[номер]; }
    T& operator[](std::size_t номер) { return (*список)[номер]; }
    const T* begin() const { return список ? список->data() : nullptr; }
    const T* end() const { return список ? список->data() + список->size() : nullptr; }
    T* begin() { return список ? список->data() : nullptr; }
    T* end() { return список ? список->data() + список->size() : nullptr; }
};

}  // namespace vokra::ast
