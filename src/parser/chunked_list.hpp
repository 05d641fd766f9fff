// The list the parser gathers the parts of open lists on (a block's
// statements, a call's arguments), held in chunks of a fixed size: past the
// first chunk an element is never moved once in place, so a list of many
// parts takes its size and no more while it is read, where one array
// doubling as it grows would leave behind as much again in the blocks it
// outgrew. Cut back, it frees the chunks past its end but one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

namespace vokra::parser {

template <class T>
struct СписокКусками {
    static constexpr std::size_t в_куске = std::max<std::size_t>(16, (64 << 10) / sizeof(T));

    // The first chunk grows as it fills, so that a short text takes little.
    std::vector<std::vector<T>> куски;
    std::size_t всего = 0;

    std::size_t size() const { return всего; }
    T& operator[](std::size_t номер) { return куски[номер / в_куске][номер % в_куске]; }

    template <class... Аргументы>
    T& emplace_back(Аргументы&&... аргументы) {
        const std::size_t номер = всего / в_куске;
        if (номер == куски.size())
            куски.emplace_back().reserve(номер == 0 ? 0 : в_куске);
        auto& кусок = куски[номер];
        if (номер == 0 && кусок.size() == кусок.capacity())
            кусок.reserve(std::min(в_куске, std::max<std::size_t>(8, кусок.capacity() * 2)));
        T& элемент = кусок.emplace_back(std::forward<Аргументы>(аргументы)...);
        ++всего;
        return элемент;
    }

    // Drops the elements from `размер` on, and the chunks left empty but one.
    void обрезать(std::size_t размер) {
        for (; всего > размер; --всего)
            куски[(всего - 1) / в_куске].pop_back();
        const std::size_t занятых = (всего + в_куске - 1) / в_куске;
        if (куски.size() > занятых + 1)
            куски.resize(занятых + 1);
    }

    // Reads the elements from `номер` on, moving each out.
    struct Забирающий {
        using iterator_category = std::input_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using reference = T&&;

        СписокКусками* список = nullptr;
        std::size_t номер = 0;

        T&& operator*() const { return std::move((*список)[номер]); }
        Забирающий& operator++() {
            ++номер;
            return *this;
        }
        bool operator==(const Забирающий& другой) const { return номер == другой.номер; }
    };
    Забирающий забирать_с(std::size_t номер) { return {this, номер}; }
};

}  // namespace vokra::parser
