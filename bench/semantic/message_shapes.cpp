#include "message_shapes.hpp"

#include <fmt/format.h>

#include <array>

#include "texts.hpp"

namespace vokra::замер {

namespace {

constexpr std::string_view программа = "функция главная() конец\\n";

// `[[[…]]]`, `уровней` deep.
std::string вложенные_массивы(std::size_t уровней) {
    return std::string(уровней, '[') + std::string(уровней, ']');
}

// A didChange of the document to `текст` (already a JSON string's inside),
// with `ещё` among the members of its textDocument and of the message.
std::string изменение(std::string_view текст, std::string_view в_документе = "",
                      std::string_view в_сообщении = "") {
    return fmt::format(
        R"({{"jsonrpc":"2.0","method":"textDocument/didChange","params":{{"textDocument":)"
        R"({{"uri":"file:///tmp/bench.kod","version":2{}}},"contentChanges":[{{"text":"{}"}}]}}{}}})",
        в_документе, текст, в_сообщении);
}

std::string вложенность_в_сообщении(std::size_t уровней) {
    return изменение(программа, "", ",\"x\":" + вложенные_массивы(уровней));
}

std::string вложенность_в_документе(std::size_t уровней) {
    return изменение(программа, ",\"x\":" + вложенные_массивы(уровней));
}

// An integer past 64 bits beside the nesting: simdjson refuses the body and
// nlohmann reads it.
std::string вложенность_и_длинное_число(std::size_t уровней) {
    return изменение(программа, "",
                     ",\"y\":100000000000000000000,\"x\":" + вложенные_массивы(уровней));
}

std::string вложенность_в_запросе(std::size_t уровней) {
    return fmt::format(
        R"({{"jsonrpc":"2.0","id":1,"method":"textDocument/hover","params":{{"textDocument":)"
        R"({{"uri":"file:///tmp/bench.kod"}},"position":{{"line":0,"character":9,"x":{}}}}}}})",
        вложенные_массивы(уровней));
}

// A comment of lone surrogate escapes, each of which reads as U+FFFD.
std::string одинокие_суррогаты(std::size_t сколько) {
    return изменение(fmt::format("{}// {}", программа, буквы("\\ud800", сколько)));
}

// A comment of bytes that are not UTF-8.
std::string байты_не_utf8(std::size_t сколько) {
    return изменение(fmt::format("{}// {}", программа, std::string(сколько, '\xFF')));
}

// `сколько` changes before the one that carries the text; each is decoded.
std::string изменения(std::size_t сколько) {
    return fmt::format(
        R"({{"jsonrpc":"2.0","method":"textDocument/didChange","params":{{"textDocument":)"
        R"({{"uri":"file:///tmp/bench.kod","version":2}},"contentChanges":[{}{{"text":"{}"}}]}}}})",
        буквы(R"({"text":""},)", сколько), программа);
}

// Members no decoder reads, each of its own name.
std::string ключи(std::size_t сколько) {
    std::string члены;
    for (std::size_t i = 0; i < сколько; ++i)
        члены += fmt::format(",\"к{}\":[{{}}]", i);
    return изменение(программа, члены);
}

// A hover in a document whose address is `путь` after "http://".
std::string наведение_по_адресу(std::string_view путь) {
    return fmt::format(
        R"({{"jsonrpc":"2.0","id":1,"method":"textDocument/hover","params":{{"textDocument":)"
        R"({{"uri":"http://{}"}},"position":{{"line":0,"character":0}}}}}})",
        путь);
}

// An address of many path segments, each kept and encoded.
std::string адрес_из_сегментов(std::size_t сколько) {
    std::string путь(1, 'h');
    return наведение_по_адресу(путь.append(буквы("/a", сколько)));
}

// A host of many non-ASCII labels, each converted by IDNA.
std::string узел_из_меток(std::size_t сколько) {
    return наведение_по_адресу(буквы("ж.", сколько) + "рф/");
}

constexpr std::array<ФормаСообщения, 10> формы{{
    {"вложенность_в_сообщении", 125'000, 500'000, вложенность_в_сообщении},
    {"вложенность_в_документе", 125'000, 500'000, вложенность_в_документе},
    {"вложенность_и_длинное_число", 125'000, 500'000, вложенность_и_длинное_число},
    {"вложенность_в_запросе", 125'000, 500'000, вложенность_в_запросе},
    {"одинокие_суррогаты", 40'000, 160'000, одинокие_суррогаты},
    {"байты_не_utf8", 250'000, 1'000'000, байты_не_utf8},
    {"изменения", 20'000, 80'000, изменения},
    {"ключи", 15'000, 60'000, ключи},
    {"адрес_из_сегментов", 125'000, 500'000, адрес_из_сегментов},
    {"узел_из_меток", 80'000, 320'000, узел_из_меток},
}};

}  // namespace

std::span<const ФормаСообщения> формы_сообщений() {
    return формы;
}

}  // namespace vokra::замер
