// The lexer's tokens in order, held in chunks of a fixed size, so that the
// parser can free the chunks it has read while it builds the tree instead of
// holding the whole list and the whole tree at once. Indices always count
// from the first token of the text. A freed chunk may be put back, lexed
// again, by a reader that can lex it again; a token of a chunk not held must
// not be asked for.
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
    // Chunks before this one are not held.
    std::size_t первый_кусок = 0;
    // Chunks held now, and the most held at once so far.
    std::size_t хранимых = 0;
    std::size_t наибольшее_хранимых = 0;
    // The room of a freed chunk, kept for the next chunk made: a list read
    // as it is filled takes a few chunks in turn, not a fresh one each time.
    std::vector<ТокенСПозицией> запас;

    std::size_t size() const { return всего; }
    bool empty() const { return всего == 0; }
    // No token before this index is held.
    std::size_t первый_хранимый() const { return первый_кусок * в_куске; }
    // Whether the token at `i`, one of the list, is held: a held chunk has
    // a token at least.
    bool хранится(std::size_t i) const { return !куски[i / в_куске].empty(); }

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
        хранимых = 1;
        наибольшее_хранимых = 1;
    }

    // A new token at the end, default-made, to be filled in place.
    ТокенСПозицией& emplace_back() {
        if (всего == куски.size() * в_куске) [[unlikely]]
            добавить_кусок();
        ++всего;
        return куски.back().emplace_back();
    }

    // How many tokens the last chunk, the one being filled, takes before a
    // new one is made.
    std::size_t места_в_куске() const { return куски.empty() ? 0 : в_куске - куски.back().size(); }

    // A token at the end of the last chunk, which has room for it.
    void добавить_в_кусок(const ТокенСПозицией& токен) {
        ++всего;
        куски.back().push_back(токен);
    }

    // Out of line, so that the lexer's loop around emplace_back stays tight.
    [[gnu::noinline]] void добавить_кусок() {
        // The first chunk grows as it fills, so a short text (an interpolated
        // piece, a hover) takes little.
        куски.emplace_back();
        if (куски.size() > 1)
            куски.back() = взять_запас();
        учесть_хранимый();
    }

    // Frees every chunk that lies wholly before the token `i`, the last one
    // kept.
    void отбросить_до(std::size_t i) {
        for (; (первый_кусок + 1) * в_куске <= i && первый_кусок + 1 < куски.size(); ++первый_кусок)
            освободить_кусок(первый_кусок);
    }

    void освободить_кусок(std::size_t номер) {
        auto& кусок = куски[номер];
        if (кусок.empty())
            return;
        --хранимых;
        кусок.clear();
        if (кусок.capacity() == в_куске && запас.capacity() == 0)
            кусок.swap(запас);
        else
            std::vector<ТокенСПозицией>().swap(кусок);
    }

    // Room for a chunk's tokens: the kept room of a freed one, or new.
    std::vector<ТокенСПозицией> взять_запас() {
        std::vector<ТокенСПозицией> кусок;
        кусок.swap(запас);
        кусок.reserve(в_куске);
        return кусок;
    }

    // Puts a freed chunk back, its tokens lexed again.
    void вернуть_кусок(std::size_t номер, std::vector<ТокенСПозицией> токены) {
        куски[номер] = std::move(токены);
        первый_кусок = std::min(первый_кусок, номер);
        учесть_хранимый();
    }

    void учесть_хранимый() {
        ++хранимых;
        наибольшее_хранимых = std::max(наибольшее_хранимых, хранимых);
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
