// The lexer's tokens in order, held in chunks of a fixed size, so that the
// parser can free the chunks it has read while it builds the tree instead of
// holding the whole list and the whole tree at once. Indices always count
// from the first token of the text; a freed token must not be asked for.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

#include "token/token.hpp"

namespace vokra {

struct СписокТокенов {
    static constexpr std::size_t в_куске = 4096;

    std::vector<std::vector<ТокенСПозицией>> куски;
    std::size_t всего = 0;
    // Chunks before this one were freed.
    std::size_t первый_кусок = 0;
    // The most chunks held at once so far.
    std::size_t наибольшее_хранимых = 0;
    // The room of a freed chunk, kept for the next chunk made: a list read
    // as it is filled takes a few chunks in turn, not a fresh one each time.
    std::vector<ТокенСПозицией> запас;

    std::size_t size() const { return всего; }
    bool empty() const { return всего == 0; }
    // The index of the first token still held.
    std::size_t первый_хранимый() const { return первый_кусок * в_куске; }

    ТокенСПозицией& operator[](std::size_t i) { return куски[i / в_куске][i % в_куске]; }
    const ТокенСПозицией& operator[](std::size_t i) const {
        return куски[i / в_куске][i % в_куске];
    }
    ТокенСПозицией& back() { return (*this)[всего - 1]; }
    const ТокенСПозицией& back() const { return (*this)[всего - 1]; }

    // Room for this many tokens in the first chunk, up to its size; made
    // before any token is added. A short text is then read without the
    // chunk growing step by step.
    void зарезервировать(std::size_t токенов) {
        куски.emplace_back().reserve(std::min(токенов, в_куске));
        наибольшее_хранимых = 1;
    }

    // A new token at the end, default-made, to be filled in place.
    ТокенСПозицией& emplace_back() {
        if (всего == куски.size() * в_куске) [[unlikely]]
            добавить_кусок();
        ++всего;
        return куски.back().emplace_back();
    }

    // Out of line, so that the lexer's loop around emplace_back stays tight.
    [[gnu::noinline]] void добавить_кусок() {
        // The first chunk grows as it fills, so a short text (an interpolated
        // piece, a hover) takes little.
        куски.emplace_back();
        if (куски.size() > 1 && запас.capacity() == в_куске)
            куски.back().swap(запас);
        else if (куски.size() > 1)
            куски.back().reserve(в_куске);
        наибольшее_хранимых = std::max(наибольшее_хранимых, куски.size() - первый_кусок);
    }

    // Frees every chunk that lies wholly before the token `i`.
    void отбросить_до(std::size_t i) {
        for (; (первый_кусок + 1) * в_куске <= i && первый_кусок + 1 < куски.size();
             ++первый_кусок) {
            auto& кусок = куски[первый_кусок];
            кусок.clear();
            if (кусок.capacity() == в_куске && запас.capacity() == 0)
                кусок.swap(запас);
            else
                std::vector<ТокенСПозицией>().swap(кусок);
        }
    }

    struct Итератор {
        using iterator_category = std::forward_iterator_tag;
        using value_type = ТокенСПозицией;
        using difference_type = std::ptrdiff_t;
        using pointer = const ТокенСПозицией*;
        using reference = const ТокенСПозицией&;

        const СписокТокенов* список = nullptr;
        std::size_t i = 0;

        reference operator*() const { return (*список)[i]; }
        pointer operator->() const { return &(*список)[i]; }
        Итератор& operator++() {
            ++i;
            return *this;
        }
        Итератор operator++(int) {
            Итератор было = *this;
            ++i;
            return было;
        }
        bool operator==(const Итератор& другой) const { return i == другой.i; }
    };

    Итератор begin() const { return {this, первый_хранимый()}; }
    Итератор end() const { return {this, всего}; }
};

}  // namespace vokra
