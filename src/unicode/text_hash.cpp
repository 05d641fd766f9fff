#include "unicode/text_hash.hpp"

#include <sys/random.h>

#include <bit>
#include <chrono>
#include <cstring>

namespace vokra::unicode {

namespace {

struct Состояние {
    std::uint64_t v0, v1, v2, v3;

    void раунд() {
        v0 += v1;
        v1 = std::rotl(v1, 13);
        v1 ^= v0;
        v0 = std::rotl(v0, 32);
        v2 += v3;
        v3 = std::rotl(v3, 16);
        v3 ^= v2;
        v0 += v3;
        v3 = std::rotl(v3, 21);
        v3 ^= v0;
        v2 += v1;
        v1 = std::rotl(v1, 17);
        v1 ^= v2;
        v2 = std::rotl(v2, 32);
    }
    void слово(std::uint64_t m) {
        v3 ^= m;
        раунд();
        v0 ^= m;
    }
};

// Little-endian, as the hash reads its words on every machine.
std::uint64_t прочитать_слово(const char* байты) {
    std::uint64_t слово;
    std::memcpy(&слово, байты, sizeof слово);
    if constexpr (std::endian::native == std::endian::big)
        слово = std::byteswap(слово);
    return слово;
}

// Sixteen random bytes of the system. Should it refuse them, the clock and
// the address of the stack, which vary between runs, still keep the key
// from being known in advance.
КлючХеша ключ_процесса() {
    КлючХеша ключ;
    if (getentropy(&ключ, sizeof ключ) != 0) {
        const auto время =
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        ключ = {время, reinterpret_cast<std::uintptr_t>(&ключ) ^ (время << 29)};
    }
    return ключ;
}

}  // namespace

std::uint64_t хеш_текста(std::string_view текст, const КлючХеша& ключ) {
    Состояние с{ключ.к0 ^ 0x736f6d6570736575ULL, ключ.к1 ^ 0x646f72616e646f6dULL,
                ключ.к0 ^ 0x6c7967656e657261ULL, ключ.к1 ^ 0x7465646279746573ULL};
    const char* байты = текст.data();
    const std::size_t полных = текст.size() / 8 * 8;
    for (std::size_t i = 0; i < полных; i += 8)
        с.слово(прочитать_слово(байты + i));
    std::uint64_t хвост = static_cast<std::uint64_t>(текст.size()) << 56;
    for (std::size_t i = полных; i < текст.size(); ++i)
        хвост |= static_cast<std::uint64_t>(static_cast<unsigned char>(байты[i]))
                 << (8 * (i - полных));
    с.слово(хвост);
    с.v2 ^= 0xff;
    с.раунд();
    с.раунд();
    с.раунд();
    return с.v0 ^ с.v1 ^ с.v2 ^ с.v3;
}

std::uint64_t хеш_текста(std::string_view текст) {
    static const КлючХеша ключ = ключ_процесса();
    return хеш_текста(текст, ключ);
}

}  // namespace vokra::unicode
