#include "вокра_lsp/protocol.hpp"

#include <fmt/format.h>

#include <limits>
#include <type_traits>

#include "вокра_lsp/json_reader.hpp"
#include "вокра_lsp/jsonrpc.hpp"
#include "вокра_lsp/messages.hpp"
#include "вокра_lsp/uri.hpp"

namespace vokra::lsp {

namespace {

using json = nlohmann::json;

Декодировано<std::string> текст(const json& значение) {
    if (!значение.is_string())
        return tl::unexpected(fmt::format(сообщения::ожидался_текст));
    return значение.get<std::string>();
}

// A document's text is moved out of its JSON value instead of copied: it can
// be tens of megabytes, and the value is dropped once decoded.
Декодировано<std::string> забрать_текст(json& значение) {
    if (!значение.is_string())
        return tl::unexpected(fmt::format(сообщения::ожидался_текст));
    return std::move(значение.get_ref<std::string&>());
}

// nlohmann keeps non-negative integers as unsigned and negative ones as
// signed, and converts between them without a check, so both are compared
// with the target range here. Fractional numbers are refused.
template <typename Целое>
Декодировано<Целое> целое(const json& значение) {
    using Пределы = std::numeric_limits<Целое>;
    const auto ошибка = [] {
        return tl::unexpected(
            fmt::format(сообщения::ожидалось_целое, Пределы::min(), Пределы::max()));
    };
    if (значение.is_number_unsigned()) {
        const auto число = значение.get<std::uint64_t>();
        if (число > static_cast<std::uint64_t>(Пределы::max()))
            return ошибка();
        return static_cast<Целое>(число);
    }
    if (значение.is_number_integer()) {
        const auto число = значение.get<std::int64_t>();
        if (число < static_cast<std::int64_t>(Пределы::min()) ||
            (число >= 0 &&
             static_cast<std::uint64_t>(число) > static_cast<std::uint64_t>(Пределы::max())))
            return ошибка();
        return static_cast<Целое>(число);
    }
    return ошибка();
}

Декодировано<std::string> uri(const json& значение) {
    auto запись = текст(значение);
    if (!запись)
        return запись;
    auto нормальный = нормализовать_uri(*запись);
    if (!нормальный)
        return tl::unexpected(fmt::format(сообщения::неверный_uri, *запись));
    return *нормальный;
}

Декодировано<json> объект(const json& значение) {
    if (!значение.is_object())
        return tl::unexpected(fmt::format(сообщения::ожидался_объект));
    return значение;
}

Декодировано<json> любое(const json& значение) {
    return значение;
}

// Reads the members of one object, keeping the first failure; the values
// read after it are defaults and are thrown away by итог. Over a mutable
// object the readers may move members out.
template <typename Json>
struct Поля {
    Json& объект;
    std::optional<std::string> ошибка = std::nullopt;

    template <typename Разбор>
    using Тип = typename std::invoke_result_t<Разбор, Json&>::value_type;

    template <typename Разбор>
    Тип<Разбор> обязательное(const char* имя, Разбор разбор) {
        if (ошибка)
            return {};
        const auto член = объект.find(имя);
        if (член == объект.end()) {
            ошибка = fmt::format(сообщения::нет_поля, имя);
            return {};
        }
        return прочитать(имя, *член, разбор);
    }

    // An absent member and a null one both give nothing.
    template <typename Разбор>
    std::optional<Тип<Разбор>> необязательное(const char* имя, Разбор разбор) {
        if (ошибка)
            return std::nullopt;
        const auto член = объект.find(имя);
        if (член == объект.end() || член->is_null())
            return std::nullopt;
        return прочитать(имя, *член, разбор);
    }

    template <typename T>
    Декодировано<T> итог(T значение) {
        if (ошибка)
            return tl::unexpected(std::move(*ошибка));
        return значение;
    }

    template <typename Разбор>
    Тип<Разбор> прочитать(const char* имя, Json& член, Разбор разбор) {
        auto значение = разбор(член);
        if (!значение) {
            ошибка = fmt::format(сообщения::в_поле, имя, значение.error());
            return {};
        }
        return std::move(*значение);
    }
};

template <typename Json>
Поля(Json&) -> Поля<Json>;

tl::unexpected<std::string> не_объект() {
    return tl::unexpected(fmt::format(сообщения::ожидался_объект));
}

Декодировано<СведенияОКлиенте> сведения_о_клиенте(const json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    СведенияОКлиенте сведения{п.обязательное("name", текст), п.необязательное("version", текст)};
    return п.итог(std::move(сведения));
}

Декодировано<std::string> uri_документа(const json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    auto адрес = п.обязательное("uri", uri);
    return п.итог(std::move(адрес));
}

struct ДокументСВерсией {
    std::string uri;
    std::int32_t версия = 0;
};

Декодировано<ДокументСВерсией> документ_с_версией(const json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    ДокументСВерсией документ{п.обязательное("uri", uri),
                              п.обязательное("version", целое<std::int32_t>)};
    return п.итог(std::move(документ));
}

Декодировано<ЭлементДокумента> элемент_документа(json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    ЭлементДокумента элемент{п.обязательное("uri", uri), п.обязательное("languageId", текст),
                             п.обязательное("version", целое<std::int32_t>),
                             п.обязательное("text", забрать_текст)};
    return п.итог(std::move(элемент));
}

Декодировано<ИзменениеСодержимого> изменение_содержимого(json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    ИзменениеСодержимого изменение{п.необязательное("range", диапазон_из_json),
                                   п.необязательное("rangeLength", целое<std::uint32_t>),
                                   п.обязательное("text", забрать_текст)};
    return п.итог(std::move(изменение));
}

Декодировано<std::vector<ИзменениеСодержимого>> изменения_содержимого(json& значение) {
    if (!значение.is_array())
        return tl::unexpected(fmt::format(сообщения::ожидался_массив));
    std::vector<ИзменениеСодержимого> изменения;
    for (auto& элемент : значение) {
        auto изменение = изменение_содержимого(элемент);
        if (!изменение)
            return tl::unexpected(std::move(изменение.error()));
        изменения.push_back(std::move(*изменение));
    }
    // A client may send any number of changes; their JSON goes one by one.
    отпустить_элементы(значение);
    return изменения;
}

// The members each decoder above reads, as the reader is to build them.
namespace формы {

using Член = ФормаЧтения::Член;
constexpr auto& вид = только_вид;

constexpr Член члены_позиции[] = {{"line", &вид}, {"character", &вид}};
constexpr ФормаЧтения позиция{члены_позиции};
constexpr Член члены_диапазона[] = {{"start", &позиция}, {"end", &позиция}};
constexpr ФормаЧтения диапазон{члены_диапазона};
constexpr Член члены_изменения[] = {{"range", &диапазон}, {"rangeLength", &вид}, {"text", &вид}};
constexpr ФормаЧтения изменение{члены_изменения};
constexpr ФормаЧтения изменения{{}, &изменение};
constexpr Член члены_документа[] = {
    {"uri", &вид}, {"languageId", &вид}, {"version", &вид}, {"text", &вид}};
constexpr ФормаЧтения документ{члены_документа};
constexpr Член члены_клиента[] = {{"name", &вид}, {"version", &вид}};
constexpr ФормаЧтения клиент{члены_клиента};
constexpr Член члены_параметров[] = {
    {"processId", &вид},         {"clientInfo", &клиент},        {"locale", &вид},
    {"rootUri", &вид},           {"capabilities", &вид},         {"initializationOptions", &вид},
    {"textDocument", &документ}, {"contentChanges", &изменения}, {"position", &позиция}};
constexpr ФормаЧтения параметры{члены_параметров};

constexpr Член члены_адреса[] = {{"uri", &вид}};
constexpr ФормаЧтения адрес{члены_адреса};
constexpr Член члены_параметров_адреса[] = {{"textDocument", &адрес}};
constexpr ФормаЧтения параметры_адреса{члены_параметров_адреса};

}  // namespace формы

}  // namespace

const ФормаЧтения& читаемое_в_параметрах() {
    return формы::параметры;
}

const ФормаЧтения& читаемое_в_адресе() {
    return формы::параметры_адреса;
}

Декодировано<Позиция> позиция_из_json(const json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    Позиция позиция{п.обязательное("line", целое<std::uint32_t>),
                    п.обязательное("character", целое<std::uint32_t>)};
    return п.итог(позиция);
}

Декодировано<Диапазон> диапазон_из_json(const json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    Диапазон диапазон{п.обязательное("start", позиция_из_json),
                      п.обязательное("end", позиция_из_json)};
    return п.итог(диапазон);
}

Декодировано<ПараметрыИнициализации> параметры_инициализации_из_json(const json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    ПараметрыИнициализации параметры{
        п.необязательное("processId", целое<std::uint32_t>),
        п.необязательное("clientInfo", сведения_о_клиенте),
        п.необязательное("locale", текст),
        п.необязательное("rootUri", uri),
        п.обязательное("capabilities", объект),
        п.необязательное("initializationOptions", любое).value_or(nullptr)};
    return п.итог(std::move(параметры));
}

Декодировано<ПараметрыОткрытия> параметры_открытия_из_json(json&& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    ПараметрыОткрытия параметры{п.обязательное("textDocument", элемент_документа)};
    return п.итог(std::move(параметры));
}

Декодировано<ПараметрыИзменения> параметры_изменения_из_json(json&& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    auto документ = п.обязательное("textDocument", документ_с_версией);
    ПараметрыИзменения параметры{std::move(документ.uri), документ.версия,
                                 п.обязательное("contentChanges", изменения_содержимого)};
    return п.итог(std::move(параметры));
}

Декодировано<ПараметрыЗакрытия> параметры_закрытия_из_json(const json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    ПараметрыЗакрытия параметры{п.обязательное("textDocument", uri_документа)};
    return п.итог(std::move(параметры));
}

Декодировано<ПараметрыПозицииДокумента> параметры_позиции_из_json(const json& значение) {
    if (!значение.is_object())
        return не_объект();
    Поля п{значение};
    ПараметрыПозицииДокумента параметры{п.обязательное("textDocument", uri_документа),
                                        п.обязательное("position", позиция_из_json)};
    return п.итог(std::move(параметры));
}

json в_json(const Позиция& позиция) {
    return {{"line", позиция.строка}, {"character", позиция.символ}};
}

json в_json(const Диапазон& диапазон) {
    return {{"start", в_json(диапазон.начало)}, {"end", в_json(диапазон.конец)}};
}

json в_json(const Диагностика& диагностика) {
    return {{"range", в_json(диагностика.диапазон)},
            {"severity", диагностика.серьёзность},
            {"source", диагностика.источник},
            {"message", диагностика.сообщение}};
}

json в_json(const ПараметрыПубликации& параметры) {
    json диагностики = json::array();
    for (const auto& диагностика : параметры.диагностики)
        диагностики.push_back(в_json(диагностика));
    return {{"uri", параметры.uri}, {"diagnostics", std::move(диагностики)}};
}

json возможности_сервера() {
    return {{"textDocumentSync", 1},
            {"hoverProvider", true},
            {"completionProvider", json::object()},
            {"definitionProvider", true}};
}

}  // namespace vokra::lsp
