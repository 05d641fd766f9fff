// Hash tables that keep the order in which their keys were first entered.
// Iterating them, and so every candidate list and every diagnostic built from
// them, is the same on every run over the same text, though the hash of
// texts is keyed afresh in every process.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "unicode/text_hash.hpp"

namespace vokra::semantic {

using unicode::КлючХеша;
using unicode::хеш_текста;

// Hashes the keys of the analyser's tables: texts (under the process's key),
// resolved types (through their std::hash), pairs and lists of those.
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
    std::size_t operator()(const std::string& текст) const { return хеш_текста(текст); }
    std::size_t operator()(std::string_view текст) const { return хеш_текста(текст); }
    template <class T>
    std::size_t operator()(const T& значение) const {
        return std::hash<T>{}(значение);
    }
};

// The index of an insertion-ordered table: open addressing over the
// positions of its entries, so each key is stored once (in the entries) and
// the index costs eight bytes a slot. A slot keeps the entry's position plus
// one (0 is free) and the low half of the key's hash, which places it again
// when the index grows without hashing the keys anew. It grows at three
// quarters full: the stored hash halves keep the longer probe runs cheap,
// since a key is compared only where its hash half matches.
struct ИндексЗаписей {
    struct Ячейка {
        std::uint32_t номер_плюс_1 = 0;
        std::uint32_t хеш = 0;
    };
    std::vector<Ячейка> ячейки;

    static std::uint32_t сжать(std::size_t хеш) {
        return static_cast<std::uint32_t>(хеш ^ (хеш >> 32));
    }

    // The position of the entry whose key equals the sought one, or -1.
    template <class Равен>
    std::ptrdiff_t найти(std::uint32_t хеш, Равен&& равен) const {
        if (ячейки.empty())
            return -1;
        const std::size_t маска = ячейки.size() - 1;
        for (std::size_t место = хеш & маска;; место = (место + 1) & маска) {
            const Ячейка& я = ячейки[место];
            if (я.номер_плюс_1 == 0)
                return -1;
            if (я.хеш == хеш && равен(я.номер_плюс_1 - 1))
                return static_cast<std::ptrdiff_t>(я.номер_плюс_1 - 1);
        }
    }
    // Enters a new entry's position; `всего` entries are held after it.
    void вставить(std::uint32_t хеш, std::size_t номер, std::size_t всего) {
        if (всего * 4 > ячейки.size() * 3)
            вырасти(std::max<std::size_t>(16, ячейки.size() * 2));
        поместить(хеш, номер);
    }

  private:
    void поместить(std::uint32_t хеш, std::size_t номер) {
        const std::size_t маска = ячейки.size() - 1;
        std::size_t место = хеш & маска;
        while (ячейки[место].номер_плюс_1 != 0)
            место = (место + 1) & маска;
        ячейки[место] = {static_cast<std::uint32_t>(номер + 1), хеш};
    }
    void вырасти(std::size_t размер) {
        std::vector<Ячейка> старые(размер);
        старые.swap(ячейки);
        for (const Ячейка& я : старые)
            if (я.номер_плюс_1 != 0)
                поместить(я.хеш, я.номер_плюс_1 - 1);
    }
};

// The entries of a table in segments of a fixed size of about 4 KiB. An entry
// past the first segment is never moved once entered, and the room held
// beyond the entries is at most one segment: a single doubling vector would
// copy every entry as it grows and keep up to as much room again unused.
// The first segment grows by doubling, so that small tables such as scopes
// stay small; its entries move as it grows, so no entry's address outlasts
// an insertion (what an entry owns elsewhere, a list's elements, stays).
template <class T>
struct Куски {
    static constexpr std::size_t в_куске = std::max<std::size_t>(1, 4096 / sizeof(T));
    std::vector<T> первый;
    std::vector<std::vector<T>> следующие;

    T& operator[](std::size_t номер) {
        return номер < в_куске ? первый[номер] : следующие[номер / в_куске - 1][номер % в_куске];
    }
    const T& operator[](std::size_t номер) const {
        return номер < в_куске ? первый[номер] : следующие[номер / в_куске - 1][номер % в_куске];
    }
    std::size_t size() const {
        return следующие.empty() ? первый.size()
                                 : следующие.size() * в_куске + следующие.back().size();
    }
    bool empty() const { return первый.empty(); }
    T& back() { return следующие.empty() ? первый.back() : следующие.back().back(); }

    template <class... Аргументы>
    void emplace_back(Аргументы&&... аргументы) {
        if (первый.size() < в_куске) {
            if (первый.size() == первый.capacity())
                первый.reserve(std::min(в_куске, std::max<std::size_t>(1, первый.capacity() * 2)));
            первый.emplace_back(std::forward<Аргументы>(аргументы)...);
            return;
        }
        if (следующие.empty() || следующие.back().size() == в_куске)
            следующие.emplace_back().reserve(в_куске);
        следующие.back().emplace_back(std::forward<Аргументы>(аргументы)...);
    }

    template <class Хозяин, class Значение>
    struct Обход {
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        Хозяин* хозяин = nullptr;
        std::size_t номер = 0;
        Значение& operator*() const { return (*хозяин)[номер]; }
        Значение* operator->() const { return &(*хозяин)[номер]; }
        Обход& operator++() {
            ++номер;
            return *this;
        }
        Обход operator++(int) {
            auto было = *this;
            ++номер;
            return было;
        }
        bool operator==(const Обход& другой) const { return номер == другой.номер; }
    };
    using iterator = Обход<Куски, T>;
    using const_iterator = Обход<const Куски, const T>;
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, size()}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }
};

// A map whose iteration follows insertion order. Entries are never removed;
// entering a key again replaces its value in place.
template <class K, class V>
struct Таблица {
    Куски<std::pair<K, V>> записи;
    ИндексЗаписей индекс;

    V* найти(const K& ключ) {
        auto номер = позиция(ключ, хеш_ключа(ключ));
        return номер < 0 ? nullptr : &записи[static_cast<std::size_t>(номер)].second;
    }
    const V* найти(const K& ключ) const {
        auto номер = позиция(ключ, хеш_ключа(ключ));
        return номер < 0 ? nullptr : &записи[static_cast<std::size_t>(номер)].second;
    }
    bool содержит(const K& ключ) const { return позиция(ключ, хеш_ключа(ключ)) >= 0; }

    // The entry of the key `искомое` describes: its `хеш` is the key's hash
    // as ХешКлюча gives it, and it accepts the key it equals. A lookup that
    // builds no key (a name sought by its text), or whose hash is made once
    // for several tables.
    template <class Искомое>
    const std::pair<K, V>* найти_запись(const Искомое& искомое) const {
        const auto номер = индекс.найти(ИндексЗаписей::сжать(искомое.хеш), [&](std::size_t номер) {
            return искомое(записи[номер].first);
        });
        return номер < 0 ? nullptr : &записи[static_cast<std::size_t>(номер)];
    }

    // The value under the key, a default one entered first when absent.
    V& operator[](const K& ключ) {
        const auto хеш = хеш_ключа(ключ);
        auto номер = позиция(ключ, хеш);
        if (номер >= 0)
            return записи[static_cast<std::size_t>(номер)].second;
        записи.emplace_back(ключ, V{});
        индекс.вставить(хеш, записи.size() - 1, записи.size());
        return записи.back().second;
    }
    void вставить(K ключ, V значение) {
        const auto хеш = хеш_ключа(ключ);
        auto номер = позиция(ключ, хеш);
        if (номер >= 0) {
            записи[static_cast<std::size_t>(номер)].second = std::move(значение);
            return;
        }
        записи.emplace_back(std::move(ключ), std::move(значение));
        индекс.вставить(хеш, записи.size() - 1, записи.size());
    }

    std::size_t size() const { return записи.size(); }
    bool empty() const { return записи.empty(); }
    auto begin() { return записи.begin(); }
    auto end() { return записи.end(); }
    auto begin() const { return записи.begin(); }
    auto end() const { return записи.end(); }

  private:
    static std::uint32_t хеш_ключа(const K& ключ) { return ИндексЗаписей::сжать(ХешКлюча{}(ключ)); }
    std::ptrdiff_t позиция(const K& ключ, std::uint32_t хеш) const {
        return индекс.найти(хеш, [&](std::size_t номер) { return записи[номер].first == ключ; });
    }
};

// A set whose iteration follows insertion order.
template <class K>
struct Множество {
    Куски<K> элементы;
    ИндексЗаписей индекс;

    bool содержит(const K& ключ) const { return позиция(ключ, хеш_ключа(ключ)) >= 0; }
    // The same for the key `искомое` describes (Таблица::найти_запись).
    template <class Искомое>
    bool содержит_запись(const Искомое& искомое) const {
        return индекс.найти(ИндексЗаписей::сжать(искомое.хеш),
                            [&](std::size_t номер) { return искомое(элементы[номер]); }) >= 0;
    }
    // True when the key was new.
    bool добавить(K ключ) {
        const auto хеш = хеш_ключа(ключ);
        if (позиция(ключ, хеш) >= 0)
            return false;
        элементы.emplace_back(std::move(ключ));
        индекс.вставить(хеш, элементы.size() - 1, элементы.size());
        return true;
    }

    std::size_t size() const { return элементы.size(); }
    bool empty() const { return элементы.empty(); }
    auto begin() const { return элементы.begin(); }
    auto end() const { return элементы.end(); }

  private:
    static std::uint32_t хеш_ключа(const K& ключ) { return ИндексЗаписей::сжать(ХешКлюча{}(ключ)); }
    std::ptrdiff_t позиция(const K& ключ, std::uint32_t хеш) const {
        return индекс.найти(хеш, [&](std::size_t номер) { return элементы[номер] == ключ; });
    }
};

// A list kept in its written order whose entries are also found by name:
// the fields of a structure, the methods of a contract, the contracts a
// structure names. A long list gets an index over the positions of its
// entries, so that finding one among thousands scans none of the others; a
// short one is scanned, which is as fast and holds nothing more. A name
// written twice is found at its first place, as a scan finds it. `Имя` is
// the member that names an entry; without it the entry is its own name.
template <class T, auto Имя = nullptr>
struct СписокПоИменам {
    std::vector<T> элементы;
    ИндексЗаписей индекс;

    СписокПоИменам() = default;
    СписокПоИменам(std::vector<T> список) : элементы(std::move(список)) { построить_индекс(); }
    СписокПоИменам(std::initializer_list<T> список) : СписокПоИменам(std::vector<T>(список)) {}

    // The first entry of the name, or none.
    const T* найти(std::string_view имя) const {
        if (индекс.ячейки.empty()) {
            for (const T& элемент : элементы)
                if (имя_элемента(элемент) == имя)
                    return &элемент;
            return nullptr;
        }
        const auto номер = позиция(имя, хеш_имени(имя));
        return номер < 0 ? nullptr : &элементы[static_cast<std::size_t>(номер)];
    }
    bool содержит(std::string_view имя) const { return найти(имя) != nullptr; }

    std::size_t size() const { return элементы.size(); }
    bool empty() const { return элементы.empty(); }
    auto begin() const { return элементы.begin(); }
    auto end() const { return элементы.end(); }

  private:
    // Longer lists are indexed.
    static constexpr std::size_t без_индекса = 16;

    static const std::string& имя_элемента(const T& элемент) {
        if constexpr (std::is_same_v<decltype(Имя), std::nullptr_t>)
            return элемент;
        else
            return элемент.*Имя;
    }
    static std::uint32_t хеш_имени(std::string_view имя) {
        return ИндексЗаписей::сжать(ХешКлюча{}(имя));
    }
    std::ptrdiff_t позиция(std::string_view имя, std::uint32_t хеш) const {
        return индекс.найти(
            хеш, [&](std::size_t номер) { return имя_элемента(элементы[номер]) == имя; });
    }
    void построить_индекс() {
        if (элементы.size() <= без_индекса)
            return;
        std::size_t в_индексе = 0;
        for (std::size_t номер = 0; номер < элементы.size(); ++номер) {
            const std::string& имя = имя_элемента(элементы[номер]);
            const auto хеш = хеш_имени(имя);
            if (позиция(имя, хеш) < 0)
                индекс.вставить(хеш, номер, ++в_индексе);
        }
    }
};

}  // namespace vokra::semantic
