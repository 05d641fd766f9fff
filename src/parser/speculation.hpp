// What the parser's speculative reads of types learned at a token, so that
// a place is read speculatively once: reading from the same token again
// comes to the same end, whatever read it first. Each outcome keeps the
// nesting that reading opened beyond its start, and is used again only where
// that much nesting still fits under the limit: elsewhere the read is made
// again and meets the limit as it would have.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vokra::parser {

// The types read from a token inside a speculative read, with every flag of
// type reading clear, by the token's index: where each ended or that it
// failed. A failure's message is not kept: every read that fails there is
// undone by the speculation around it, which drops its message.
struct ПамятьТипов {
    struct Прочитанный {
        // The index of the token after the type; 0 while nothing is known.
        std::uint32_t после = 0;
        std::uint32_t открыто = 0;

        static constexpr std::uint32_t неудача = UINT32_MAX;
        bool известен() const { return после != 0; }
        bool не_удался() const { return после == неудача; }
    };

    // Token indices from `база` on; the ones before it are read no more.
    std::size_t база = 0;
    std::vector<Прочитанный> по_токенам;

    const Прочитанный* найти(std::size_t токен) const {
        if (токен < база || токен - база >= по_токенам.size())
            return nullptr;
        const Прочитанный& п = по_токенам[токен - база];
        return п.известен() ? &п : nullptr;
    }
    // A text's tokens are counted in 32 bits, as their positions are.
    void запомнить(std::size_t токен, std::optional<std::size_t> после, std::size_t открыто) {
        if (токен < база)
            return;
        if (токен - база >= по_токенам.size())
            по_токенам.resize(токен - база + 1);
        по_токенам[токен - база] = {
            после ? static_cast<std::uint32_t>(*после) : Прочитанный::неудача,
            static_cast<std::uint32_t>(открыто)};
    }
    // Drops what lies before `токен`, once no read can go back there. The
    // rest moves down only when the dropped part is the larger, so that a
    // long statement read past step by step costs its length once.
    void забыть_до(std::size_t токен) {
        if (токен <= база)
            return;
        const std::size_t забыть = std::min(токен - база, по_токенам.size());
        if (забыть == по_токенам.size()) {
            по_токенам.clear();
            база = токен;
        } else if (забыть * 2 >= по_токенам.size()) {
            по_токенам.erase(по_токенам.begin(),
                             по_токенам.begin() + static_cast<std::ptrdiff_t>(забыть));
            база += забыть;
        }
    }
};

}  // namespace vokra::parser
