// Typed records of the protocol structures the server reads and writes, with
// their conversion from and to JSON. Decoding checks every type and number
// range itself and reports what did not fit as a description; document URIs
// are decoded into their normal form (uri.hpp).
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <tl/expected.hpp>
#include <vector>

namespace vokra::lsp {

template <typename T>
using Декодировано = tl::expected<T, std::string>;

struct ФормаЧтения;

// What the decoders below read of a message's parameters, whatever its
// method; the reader builds nothing else of them (json_reader.hpp). The
// client's capabilities and initialization options are kept as decoded but
// never read, so only their kind is.
const ФормаЧтения& читаемое_в_параметрах();

// The document's address alone: what параметры_закрытия_из_json reads.
const ФормаЧтения& читаемое_в_адресе();

// A position on the wire: 0-based line and character, the character counted
// in UTF-16 code units (positions.hpp converts).
struct Позиция {
    std::uint32_t строка = 0;
    std::uint32_t символ = 0;

    bool operator==(const Позиция&) const = default;
};

struct Диапазон {
    Позиция начало;
    Позиция конец;

    bool operator==(const Диапазон&) const = default;
};

struct СведенияОКлиенте {
    std::string имя;
    std::optional<std::string> версия;
};

// Decoded and kept for the whole run, though nothing in it is used.
struct ПараметрыИнициализации {
    std::optional<std::uint32_t> id_процесса;
    std::optional<СведенияОКлиенте> клиент;
    std::optional<std::string> язык;
    std::optional<std::string> корневой_uri;
    nlohmann::json возможности_клиента;  // an object
    nlohmann::json параметры_инициализации;
};

struct ЭлементДокумента {
    std::string uri;
    std::string язык;
    std::int32_t версия = 0;
    std::string текст;
};

struct ПараметрыОткрытия {
    ЭлементДокумента документ;
};

struct ИзменениеСодержимого {
    std::optional<Диапазон> диапазон;
    std::optional<std::uint32_t> длина_диапазона;
    std::string текст;
};

struct ПараметрыИзменения {
    std::string uri;
    std::int32_t версия = 0;
    std::vector<ИзменениеСодержимого> изменения;
};

struct ПараметрыЗакрытия {
    std::string uri;
};

// The parameters of hover, completion and definition: a document and a
// position in it.
struct ПараметрыПозицииДокумента {
    std::string uri;
    Позиция позиция;
};

struct Диагностика {
    Диапазон диапазон;
    int серьёзность = 1;
    std::string источник;
    std::string сообщение;

    bool operator==(const Диагностика&) const = default;
};

struct ПараметрыПубликации {
    std::string uri;
    std::vector<Диагностика> диагностики;
};

Декодировано<Позиция> позиция_из_json(const nlohmann::json& json);
Декодировано<Диапазон> диапазон_из_json(const nlohmann::json& json);
Декодировано<ПараметрыИнициализации> параметры_инициализации_из_json(const nlohmann::json& json);
// These two move the document texts out of `json`.
Декодировано<ПараметрыОткрытия> параметры_открытия_из_json(nlohmann::json&& json);
Декодировано<ПараметрыИзменения> параметры_изменения_из_json(nlohmann::json&& json);
Декодировано<ПараметрыЗакрытия> параметры_закрытия_из_json(const nlohmann::json& json);
Декодировано<ПараметрыПозицииДокумента> параметры_позиции_из_json(const nlohmann::json& json);

nlohmann::json в_json(const Позиция& позиция);
nlohmann::json в_json(const Диапазон& диапазон);
nlohmann::json в_json(const Диагностика& диагностика);
nlohmann::json в_json(const ПараметрыПубликации& параметры);

// The capabilities the server announces: whole-document synchronisation,
// hover, completion without trigger characters, and definition.
nlohmann::json возможности_сервера();

}  // namespace vokra::lsp
