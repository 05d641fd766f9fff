// Hash tables that keep the order in which their keys were first entered.
// Iterating them, and so every candidate list and every diagnostic built from
// them, is the same on every run over the same text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vokra::semantic {

// Hashes the keys of the analyser's tables: texts, resolved types (through
// their std::hash), pairs and lists of those.
struct ХешКлюча {
    // A full avalanche of both inputs (the splitmix64 finaliser): nested
    // types that differ only in the order of their wrappers, such as a list
    // of channels and a channel of lists, must not fall into one bucket.
    static std::size_t смешать(std::size_t хеш, std::size_t ещё) {
        std::uint64_t x = (хеш ^ ещё) * 0x9e3779b97f4a7c15ULL + 0x632be59bd9b4e019ULL;
        x ^= x >> 31;
        x *= 0xbf58476d1ce4e5b9ULL;
        x ^= x >> 27;
        return static_cast<std::size_t>(x ^ ((хеш << 1) | (хеш >> 63)));
    }
    template <class A, class B>
    std::size_t operator()(const std::pair<A, B>& пара) const {
        return смешать((*this)(пара.first), (*this)(пара.second));
    }
    template <class T>
    std::size_t operator()(const std::vector<T>& список) const {
        std::size_t хеш = список.size();
        for (const auto& элемент : список)
            хеш = смешать(хеш, (*this)(элемент));
        return хеш;
    }
    template <class T>
    std::size_t operator()(const T& значение) const {
        return std::hash<T>{}(значение);
    }
};

// A map whose iteration follows insertion order. Entries are never removed;
// entering a key again replaces its value in place.
template <class K, class V>
struct Таблица {
    std::vector<std::pair<K, V>> записи;
    std::unordered_map<K, std::size_t, ХешКлюча> номера;

    V* найти(const K& ключ) {
        auto место = номера.find(ключ);
        return место == номера.end() ? nullptr : &записи[место->second].second;
    }
    const V* найти(const K& ключ) const {
        auto место = номера.find(ключ);
        return место == номера.end() ? nullptr : &записи[место->second].second;
    }
    bool содержит(const K& ключ) const { return номера.contains(ключ); }

    // The value under the key, a default one entered first when absent.
    V& operator[](const K& ключ) {
        auto [место, новый] = номера.try_emplace(ключ, записи.size());
        if (новый)
            записи.emplace_back(ключ, V{});
        return записи[место->second].second;
    }
    void вставить(K ключ, V значение) {
        auto место = номера.find(ключ);
        if (место != номера.end()) {
            записи[место->second].second = std::move(значение);
            return;
        }
        номера.emplace(ключ, записи.size());
        записи.emplace_back(std::move(ключ), std::move(значение));
    }

    std::size_t size() const { return записи.size(); }
    bool empty() const { return записи.empty(); }
    auto begin() { return записи.begin(); }
    auto end() { return записи.end(); }
    auto begin() const { return записи.begin(); }
    auto end() const { return записи.end(); }
};

// A set whose iteration follows insertion order.
template <class K>
struct Множество {
    std::vector<K> элементы;
    std::unordered_map<K, std::size_t, ХешКлюча> номера;

    bool содержит(const K& ключ) const { return номера.contains(ключ); }
    // True when the key was new.
    bool добавить(K ключ) {
        if (номера.contains(ключ))
            return false;
        номера.emplace(ключ, элементы.size());
        элементы.push_back(std::move(ключ));
        return true;
    }

    std::size_t size() const { return элементы.size(); }
    bool empty() const { return элементы.empty(); }
    auto begin() const { return элементы.begin(); }
    auto end() const { return элементы.end(); }
};

}  // namespace vokra::semantic
