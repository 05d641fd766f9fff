// The hash of texts in every table keyed by a document's texts (the names
// of the index rewrite, the analyser's tables): SipHash-1-3 under a key
// drawn once per process from the system's random bytes. With a fixed hash
// a text could hold names chosen in advance to fall into one run of a
// table's slots, and every lookup would walk that run; under a key nobody
// outside the process knows, no set of names can be chosen so.
#pragma once

#include <cstdint>
#include <string_view>

namespace vokra::unicode {

struct КлючХеша {
    std::uint64_t к0 = 0;
    std::uint64_t к1 = 0;
};

std::uint64_t хеш_текста(std::string_view текст, const КлючХеша& ключ);
// Under the process's own key.
std::uint64_t хеш_текста(std::string_view текст);

}  // namespace vokra::unicode
