// A text for every construct of the grammar that repeats or nests: the
// lexical forms (comments, white space, numbers, names, texts and their
// interpolation), the top-level declarations and their lists, statements and
// blocks, every level of the operator ladder, the primary and postfix forms
// and the written types. Each text is a whole program, valid wherever the
// construct allows, so that the check runs to its end; its size parameter
// counts the repetitions of a list or the levels of a nest, and the larger
// size stays within 1 MB. A list's repetitions are its size; a nest is
// written a fixed number of times, as many as fit 1 MB at its larger depth,
// so that its size is the depth.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace vokra::замер {

// A text and the byte offset of a word deep in its construct: where the
// benchmarks ask for a hover and a definition. The word names a declaration
// of the text wherever the construct has one near, so that the answer is
// looked up and printed rather than found absent.
struct Образец {
    std::string текст;
    std::size_t место = 0;
};

struct Производство {
    std::string_view имя;
    std::size_t меньший, больший;
    std::function<Образец(std::size_t размер)> образец;
};

// The place of a sample as the protocol gives a position: its 0-based line
// and its character counted in UTF-16 units.
struct МестоВПротоколе {
    std::size_t строка = 0, символ = 0;
};
МестоВПротоколе место_в_протоколе(const Образец& образец);

// The largest text a production builds, in bytes.
inline constexpr std::size_t наибольший_текст = 1'000'000;

// Every production, in the order of the grammar.
std::span<const Производство> производства();

}  // namespace vokra::замер
