#include "вокра_lsp/json_repair.hpp"

#include <cstdint>

#include "unicode/unicode.hpp"
#include "вокра_lsp/jsonrpc.hpp"

namespace vokra::lsp {

namespace {

constexpr std::string_view заменяющий_utf8 = "\xEF\xBF\xBD";
constexpr std::string_view заменяющий_экранированный = "\\ufffd";
// "\uXXXX" takes six bytes.
constexpr std::size_t длина_кода = 6;

// The code unit of a "\uXXXX" escape at `позиция`, or nothing.
std::optional<std::uint32_t> код_в(std::string_view тело, std::size_t позиция) {
    if (позиция + длина_кода > тело.size() || тело[позиция] != '\\' || тело[позиция + 1] != 'u')
        return std::nullopt;
    std::uint32_t код = 0;
    for (std::size_t i = позиция + 2; i < позиция + длина_кода; ++i) {
        const char c = тело[i];
        const int цифра = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (цифра < 0)
            return std::nullopt;
        код = код * 16 + static_cast<std::uint32_t>(цифра);
    }
    return код;
}

bool высокий(std::uint32_t код) {
    return код >= 0xD800 && код <= 0xDBFF;
}

bool низкий(std::uint32_t код) {
    return код >= 0xDC00 && код <= 0xDFFF;
}

// The bytes an escape takes inside a string from its backslash at
// `позиция`, and whether it is a surrogate that is not half of a pair.
struct Экранирование {
    std::size_t длина;
    bool одинокий_суррогат;
};

Экранирование экранирование(std::string_view тело, std::size_t позиция) {
    if (const auto код = код_в(тело, позиция)) {
        if (высокий(*код)) {
            const auto следующий = код_в(тело, позиция + длина_кода);
            if (следующий && низкий(*следующий))
                return {2 * длина_кода, false};
            return {длина_кода, true};
        }
        return {длина_кода, низкий(*код)};
    }
    // Any other escape takes its backslash and the ASCII byte after it, so
    // an escaped quote does not end the string; what is wrong with it is
    // left to the parser.
    const bool со_знаком =
        позиция + 1 < тело.size() && static_cast<unsigned char>(тело[позиция + 1]) < 0x80;
    return {со_знаком ? std::size_t{2} : std::size_t{1}, false};
}

}  // namespace

std::optional<std::string> починить_json(std::string_view тело) {
    std::optional<std::string> починенный;
    // Bytes kept unchanged are copied in runs, from here to the next repair.
    std::size_t начало_куска = 0;
    auto заменить = [&](std::size_t позиция, std::size_t длина, std::string_view замена) {
        if (!починенный)
            починенный.emplace().reserve(тело.size() + запас_после_тела);
        починенный->append(тело.substr(начало_куска, позиция - начало_куска));
        починенный->append(замена);
        начало_куска = позиция + длина;
    };
    bool в_строке = false;
    for (std::size_t i = 0; i < тело.size();) {
        const auto байт = static_cast<unsigned char>(тело[i]);
        if (байт >= 0x80) {
            const auto прочитанный = unicode::прочитать_символ(тело, i);
            // A well-formed sequence beyond ASCII takes two bytes or more.
            if (прочитанный.байтов == 1)
                заменить(i, 1, заменяющий_utf8);
            i += прочитанный.байтов;
        } else if (байт == '"') {
            в_строке = !в_строке;
            ++i;
        } else if (байт == '\\' && в_строке) {
            const auto э = экранирование(тело, i);
            if (э.одинокий_суррогат)
                заменить(i, э.длина, заменяющий_экранированный);
            i += э.длина;
        } else {
            ++i;
        }
    }
    if (починенный) {
        починенный->append(тело.substr(начало_куска));
        починенный->reserve(починенный->size() + запас_после_тела);
    }
    return починенный;
}

}  // namespace vokra::lsp
