// Names of ten Latin letters drawn from a fixed stream, so that every run
// checks the same text, for texts whose names are chosen against a hash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace vokra::замер {

// The first `n` distinct names of the stream that `подходит` takes.
template <class Условие>
std::vector<std::string> имена_из_потока(std::size_t n, Условие подходит) {
    std::vector<std::string> имена;
    std::unordered_set<std::string> были;
    std::uint64_t состояние = 0x9e3779b97f4a7c15ULL;
    std::string имя(10, 'a');
    while (имена.size() < n) {
        // splitmix64.
        std::uint64_t x = (состояние += 0x9e3779b97f4a7c15ULL);
        x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
        x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
        x ^= x >> 31;
        for (char& буква : имя) {
            буква = static_cast<char>('a' + x % 26);
            x /= 26;
        }
        if (подходит(имя) && были.insert(имя).second)
            имена.push_back(имя);
    }
    return имена;
}

}  // namespace vokra::замер
