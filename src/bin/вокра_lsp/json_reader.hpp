// Message bodies read into JSON values only as far as the server reads them.
// A member no decoder reads is never built, so deep nesting or a mass of
// values in it costs the parser's pass over its bytes and nothing more.
#pragma once

#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <string_view>

namespace vokra::lsp {

// What the server reads of a JSON value. A scalar is read whole. Of an
// object, the members named here, each by its own form, and no others; of
// an array, every element by the element's form. An object or an array
// whose form names nothing of it is read as an empty one of its kind.
struct ФормаЧтения {
    struct Член {
        std::string_view имя;
        const ФормаЧтения* форма;
    };
    std::span<const Член> члены = {};
    const ФормаЧтения* элемент = nullptr;

    // The form of the member `имя`, or null when it is not read.
    const ФормаЧтения* член(std::string_view имя) const;
};

// A value of which only its kind is read.
inline constexpr ФормаЧтения только_вид{};

// The JSON text read as `форма` asks; a discarded value when it is not JSON.
// A repeated key keeps its last value, numbers take the kinds nlohmann gives
// them (a non-negative integer is unsigned), and a lone surrogate escape or a
// byte that is not UTF-8 reads as U+FFFD (json_repair.hpp). Running out of
// memory throws std::bad_alloc, as everywhere in the server.
nlohmann::json прочитать_json(const std::string& текст, const ФормаЧтения& форма);

// The same for the start of a text that may be cut anywhere: what was read
// whole before the cut. A number at the very end is left out, since its
// digits may go on past the cut.
nlohmann::json прочитать_начало_json(std::string_view начало, const ФормаЧтения& форма);

}  // namespace vokra::lsp
