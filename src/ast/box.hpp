// An owning box for the recursive children of the syntax tree. Unlike a bare
// unique_ptr it copies: copying a box copies the whole subtree it holds, so
// no two nodes ever share a child. Every holder below frees what it holds
// within its thread's stack limit: a tree deeper than the stack allows is
// freed in parts from a shallower frame (stack.hpp).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "ast/pool.hpp"
#include "ast/stack.hpp"

namespace vokra::ast {

// The deleter of the holders below.
struct УдалениеВПределеСтека {
    template <class T>
    void operator()(T* объект) const noexcept {
        удалить_в_пределе_стека(объект);
    }
};

template <class T>
using Владение = std::unique_ptr<T, УдалениеВПределеСтека>;

template <class T, class... Аргументы>
Владение<T> создать(Аргументы&&... аргументы) {
    static_assert(alignof(T) <= шаг_размеров_пула || sizeof(T) > наибольший_узел_пула);
    void* память = память_узла(sizeof(T));
    try {
        return Владение<T>(::new (память) T(std::forward<Аргументы>(аргументы)...));
    } catch (...) {
        освободить_память_узла(память, sizeof(T));
        throw;
    }
}

template <class T>
struct Коробка {
    Владение<T> указатель;

    Коробка() = default;
    // The value is moved or copied into its place once.
    Коробка(T&& значение) : указатель(создать<T>(std::move(значение))) {}
    Коробка(const T& значение) : указатель(создать<T>(значение)) {}
    // The value made in its place from its parts.
    template <class... Части>
    explicit Коробка(std::in_place_t, Части&&... части)
        : указатель(создать<T>(std::forward<Части>(части)...)) {}
    Коробка(const Коробка& другая)
        : указатель(другая.указатель ? создать<T>(*другая.указатель) : nullptr) {}
    Коробка(Коробка&&) noexcept = default;
    Коробка& operator=(const Коробка& другая) {
        if (this != &другая)
            указатель = другая.указатель ? создать<T>(*другая.указатель) : nullptr;
        return *this;
    }
    Коробка& operator=(Коробка&&) noexcept = default;

    // Only a moved-from box, or one left empty on purpose, holds nothing.
    explicit operator bool() const { return указатель != nullptr; }
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
    Владение<std::vector<T>> список;

    УзкийСписок() = default;
    УзкийСписок(std::vector<T> элементы)
        : список(элементы.empty() ? nullptr : создать<std::vector<T>>(std::move(элементы))) {}
    УзкийСписок(std::initializer_list<T> элементы) : УзкийСписок(std::vector<T>(элементы)) {}
    УзкийСписок(const УзкийСписок& другой)
        : список(другой.список ? создать<std::vector<T>>(*другой.список) : nullptr) {}
    УзкийСписок(УзкийСписок&&) noexcept = default;
    УзкийСписок& operator=(const УзкийСписок& другой) {
        if (this != &другой)
            список = другой.список ? создать<std::vector<T>>(*другой.список) : nullptr;
        return *this;
    }
    УзкийСписок& operator=(УзкийСписок&&) noexcept = default;

    const std::vector<T>& вектор() const {
        static const std::vector<T> пустой;
        return список ? *список : пустой;
    }
    std::vector<T>& вектор() {
        if (!список)
            список = создать<std::vector<T>>();
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

// A record followed by a list of tree nodes, both in one allocation held
// through one pointer: a call's name ahead of its arguments, or a generic
// type's name ahead of its type arguments, costs one allocation at its exact
// size and eight bytes in the node. Copying copies the record and every
// element; a moved-from holder holds nothing and may only be destroyed or
// assigned.
template <class Запись, class T>
struct ЗаписьСоСписком {
    struct Заголовок {
        Запись запись;
        std::size_t размер = 0;
    };
    Заголовок* заголовок = nullptr;

    ЗаписьСоСписком() = default;
    ЗаписьСоСписком(Запись запись, std::vector<T> элементы) {
        построить(std::move(запись), std::make_move_iterator(элементы.begin()), элементы.size());
    }
    // Takes the record and `число` elements read from `откуда` on; the record
    // is taken by reference, so it is moved once, into its place.
    template <class Итератор>
    ЗаписьСоСписком(Запись&& запись, Итератор откуда, std::size_t число) {
        построить(std::move(запись), откуда, число);
    }
    ЗаписьСоСписком(const ЗаписьСоСписком& другая) {
        if (другая.заголовок)
            построить(другая.заголовок->запись, другая.элементы().begin(), другая.размер());
    }
    ЗаписьСоСписком(ЗаписьСоСписком&& другая) noexcept {
        заголовок = std::exchange(другая.заголовок, nullptr);
    }
    ЗаписьСоСписком& operator=(const ЗаписьСоСписком& другая) {
        if (this != &другая)
            *this = ЗаписьСоСписком(другая);
        return *this;
    }
    ЗаписьСоСписком& operator=(ЗаписьСоСписком&& другая) noexcept {
        if (this != &другая) {
            освободить();
            заголовок = std::exchange(другая.заголовок, nullptr);
        }
        return *this;
    }
    ~ЗаписьСоСписком() { освободить(); }

    Запись& запись() { return заголовок->запись; }
    const Запись& запись() const { return заголовок->запись; }
    std::size_t размер() const { return заголовок ? заголовок->размер : 0; }
    std::span<T> элементы() { return {первый(), размер()}; }
    std::span<const T> элементы() const { return {первый(), размер()}; }

  private:
    // The elements start at the first multiple of their alignment after
    // the header.
    static constexpr std::size_t смещение() {
        return (sizeof(Заголовок) + alignof(T) - 1) / alignof(T) * alignof(T);
    }

    static T* первый(Заголовок* заголовок) {
        return заголовок ? std::launder(reinterpret_cast<T*>(reinterpret_cast<char*>(заголовок) +
                                                             смещение()))
                         : nullptr;
    }
    T* первый() const { return первый(заголовок); }

    template <class ЗаписьИлиСсылка, class Итератор>
    void построить(ЗаписьИлиСсылка&& запись, Итератор откуда, std::size_t число) {
        static_assert(alignof(Заголовок) <= шаг_размеров_пула && alignof(T) <= шаг_размеров_пула);
        void* память = память_узла(байт(число));
        Заголовок* новый;
        try {
            новый = ::new (память) Заголовок{std::forward<ЗаписьИлиСсылка>(запись), 0};
        } catch (...) {
            освободить_память_узла(память, байт(число));
            throw;
        }
        T* куда = reinterpret_cast<T*>(static_cast<char*>(память) + смещение());
        try {
            for (; новый->размер < число; ++новый->размер, ++откуда)
                ::new (куда + новый->размер) T(*откуда);
        } catch (...) {
            std::destroy_n(куда, новый->размер);
            новый->~Заголовок();
            освободить_память_узла(память, байт(число));
            throw;
        }
        заголовок = новый;
    }

    static constexpr std::size_t байт(std::size_t число) { return смещение() + число * sizeof(T); }

    // The last element may hold a list of this same kind, as a call nested
    // as the last argument of a call does: it is taken out and freed next,
    // in this frame, so a nest of them takes no frame per level.
    static void удалить(void* память) noexcept {
        constexpr const Запись* вид_записи = nullptr;
        while (память != nullptr) {
            auto* заголовок = static_cast<Заголовок*>(память);
            const std::size_t число = заголовок->размер;
            void* вложенный = nullptr;
            if constexpr (requires(T & элемент) { отделить_вложенный_список(элемент, вид_записи); })
                if (число > 0)
                    вложенный = отделить_вложенный_список(первый(заголовок)[число - 1], вид_записи);
            std::destroy_n(первый(заголовок), число);
            заголовок->~Заголовок();
            освободить_память_узла(память, байт(число));
            память = вложенный;
        }
    }

    void освободить() {
        if (!заголовок)
            return;
        void* память = std::exchange(заголовок, nullptr);
        if (за_пределом_стека()) [[unlikely]]
            отложить({память, удалить});
        else
            удалить(память);
    }
};

}  // namespace vokra::ast
