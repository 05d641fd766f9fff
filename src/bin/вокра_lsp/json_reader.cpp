#include "вокра_lsp/json_reader.hpp"

#include <simdjson.h>

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "вокра_lsp/json_repair.hpp"
#include "вокра_lsp/jsonrpc.hpp"

namespace vokra::lsp {

namespace {

using json = nlohmann::json;

static_assert(simdjson::SIMDJSON_PADDING <= запас_после_тела);

// Bodies up to this size leave the parser's buffers in place for the next:
// they come to about 14 times the body, so they are kept only for requests
// and small documents. After a larger body they are freed before its check
// starts, so the check reuses their pages; allocating them again costs little
// beside decoding.
constexpr std::size_t большое_тело = std::size_t{64} << 10;

// One parser per reading thread keeps its buffers from one body to the next.
struct ПарсерПотока {
    simdjson::dom::parser dom;

    // Past the default depth simdjson stops; the text is parsed again with
    // room for as many levels as it has brackets, which bound its nesting.
    simdjson::simdjson_result<simdjson::dom::element> разобрать(const std::string& текст) {
        const bool есть_запас = текст.capacity() - текст.size() >= simdjson::SIMDJSON_PADDING;
        auto элемент = dom.parse(текст.data(), текст.size(), !есть_запас);
        if (элемент.error() == simdjson::DEPTH_ERROR) {
            const auto скобок =
                std::ranges::count_if(текст, [](char c) { return c == '[' || c == '{'; });
            if (const auto код = dom.allocate(текст.size(), static_cast<std::size_t>(скобок) + 1);
                код != simdjson::SUCCESS)
                элемент = код;
            else
                элемент = dom.parse(текст.data(), текст.size(), !есть_запас);
        }
        // A parser that could not allocate may be left half built (a
        // depth of 0 without its stacks, which its next parse writes
        // through); it is replaced.
        if (элемент.error() == simdjson::MEMALLOC)
            dom = simdjson::dom::parser{};
        return элемент;
    }
};

// A parser sized for a large or deep body gives its memory back after it,
// however the reading ends.
struct ОсвобождениеПарсера {
    ПарсерПотока& парсер;
    ~ОсвобождениеПарсера() {
        if (парсер.dom.capacity() > большое_тело ||
            парсер.dom.max_depth() > simdjson::DEFAULT_MAX_DEPTH)
            парсер.dom = simdjson::dom::parser{};
    }
};

json скаляр(simdjson::dom::element элемент) {
    switch (элемент.type()) {
        case simdjson::dom::element_type::INT64: {
            const std::int64_t число = элемент.get_int64().value_unsafe();
            if (число >= 0)
                return static_cast<std::uint64_t>(число);
            return число;
        }
        case simdjson::dom::element_type::UINT64:
            return элемент.get_uint64().value_unsafe();
        case simdjson::dom::element_type::DOUBLE:
            return элемент.get_double().value_unsafe();
        case simdjson::dom::element_type::STRING:
            return std::string(элемент.get_string().value_unsafe());
        case simdjson::dom::element_type::BOOL:
            return элемент.get_bool().value_unsafe();
        default:
            return nullptr;
    }
}

// The value simdjson read, as far as the form reads it. The recursion goes
// only as deep as the form, whatever the nesting of the text.
json по_форме(simdjson::dom::element элемент, const ФормаЧтения& форма) {
    switch (элемент.type()) {
        case simdjson::dom::element_type::ARRAY: {
            json массив = json::array();
            if (форма.элемент == nullptr)
                return массив;
            const simdjson::dom::array члены = элемент.get_array().value_unsafe();
            for (const auto член : члены)
                массив.push_back(по_форме(член, *форма.элемент));
            return массив;
        }
        case simdjson::dom::element_type::OBJECT: {
            json объект = json::object();
            if (форма.члены.empty())
                return объект;
            const simdjson::dom::object члены = элемент.get_object().value_unsafe();
            // A repeated key keeps its last value, as nlohmann's parser does.
            for (const auto [ключ, член] : члены)
                if (const auto* ф = форма.член(ключ))
                    объект[std::string(ключ)] = по_форме(член, *ф);
            return объект;
        }
        default:
            return скаляр(элемент);
    }
}

// Builds a value from nlohmann's parse events as a form asks. Inside a part
// the form does not read, the events only count its depth.
struct СборкаПоФорме {
    struct Уровень {
        json* значение;
        const ФормаЧтения* форма;
        // The form of the member whose key came last; null when not read.
        const ФормаЧтения* форма_члена = nullptr;
    };

    explicit СборкаПоФорме(const ФормаЧтения& форма) : форма_корня(&форма) {}

    const ФормаЧтения* форма_корня;
    json корень = json(json::value_t::discarded);
    std::vector<Уровень> уровни;
    std::string ключ;
    std::size_t глубина_пропуска = 0;

    // The form of the value that comes next; null when it is not read.
    const ФормаЧтения* форма_следующего() const {
        if (уровни.empty())
            return корень.is_discarded() ? форма_корня : nullptr;
        const Уровень& у = уровни.back();
        return у.значение->is_object() ? у.форма_члена : у.форма->элемент;
    }

    json* поместить(json значение) {
        if (уровни.empty())
            return &(корень = std::move(значение));
        json& место = *уровни.back().значение;
        if (место.is_object())
            return &(место[ключ] = std::move(значение));
        место.push_back(std::move(значение));
        return &место.back();
    }

    bool значение(json значение) {
        if (глубина_пропуска == 0 && форма_следующего() != nullptr)
            поместить(std::move(значение));
        return true;
    }

    bool открыть(json пустое) {
        const ФормаЧтения* форма = глубина_пропуска == 0 ? форма_следующего() : nullptr;
        if (форма == nullptr) {
            ++глубина_пропуска;
            return true;
        }
        json* место = поместить(std::move(пустое));
        if (место->is_object() ? форма->члены.empty() : форма->элемент == nullptr)
            ++глубина_пропуска;
        else
            уровни.push_back({место, форма});
        return true;
    }

    bool закрыть() {
        if (глубина_пропуска > 0)
            --глубина_пропуска;
        else
            уровни.pop_back();
        return true;
    }

    bool null() { return значение(nullptr); }
    bool boolean(bool б) { return значение(б); }
    bool number_integer(json::number_integer_t ч) { return значение(ч); }
    bool number_unsigned(json::number_unsigned_t ч) { return значение(ч); }
    bool number_float(json::number_float_t ч, const json::string_t&) { return значение(ч); }
    bool string(json::string_t& с) { return значение(std::move(с)); }
    bool binary(json::binary_t&) { return true; }
    bool start_object(std::size_t) { return открыть(json::object()); }
    bool end_object() { return закрыть(); }
    bool start_array(std::size_t) { return открыть(json::array()); }
    bool end_array() { return закрыть(); }
    bool key(json::string_t& к) {
        if (глубина_пропуска == 0) {
            Уровень& у = уровни.back();
            у.форма_члена = у.форма->член(к);
            if (у.форма_члена != nullptr)
                ключ = std::move(к);
        }
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
        return false;
    }
};

// What simdjson refuses but JSON allows (integers past 64 bits, which
// nlohmann reads as fractional numbers) is read by nlohmann, whose events are
// built into the value as the form asks: the result is always the one
// nlohmann gives. Nothing is built for a text that is not JSON.
json собрать_через_nlohmann(std::string_view текст, const ФормаЧтения& форма) {
    СборкаПоФорме сборка(форма);
    if (!json::sax_parse(текст, &сборка))
        return json(json::value_t::discarded);
    return std::move(сборка.корень);
}

bool часть_числа(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

}  // namespace

const ФормаЧтения* ФормаЧтения::член(std::string_view имя) const {
    const auto найден = std::ranges::find(члены, имя, &Член::имя);
    return найден == члены.end() ? nullptr : найден->форма;
}

nlohmann::json прочитать_json(const std::string& текст, const ФормаЧтения& форма) {
    thread_local ПарсерПотока парсер;
    const ОсвобождениеПарсера освобождение{парсер};
    auto элемент = парсер.разобрать(текст);
    std::optional<std::string> починенный;
    if (элемент.error() != simdjson::SUCCESS && элемент.error() != simdjson::MEMALLOC) {
        починенный = починить_json(текст);
        if (починенный)
            элемент = парсер.разобрать(*починенный);
    }
    if (элемент.error() == simdjson::SUCCESS)
        return по_форме(элемент.value_unsafe(), форма);
    if (элемент.error() == simdjson::MEMALLOC)
        throw std::bad_alloc();
    return собрать_через_nlohmann(починенный ? *починенный : текст, форма);
}

nlohmann::json прочитать_начало_json(std::string_view начало, const ФормаЧтения& форма) {
    while (!начало.empty() && часть_числа(начало.back()))
        начало.remove_suffix(1);
    const auto починенный = починить_json(начало);
    СборкаПоФорме сборка(форма);
    json::sax_parse(починенный ? std::string_view(*починенный) : начало, &сборка);
    return std::move(сборка.корень);
}

}  // namespace vokra::lsp
