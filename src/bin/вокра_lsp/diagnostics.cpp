#include "вокра_lsp/diagnostics.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <limits>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "parser/parser.hpp"
#include "semantic/analyser.hpp"
#include "вокра_lsp/jsonrpc.hpp"
#include "вокра_lsp/messages.hpp"
#include "вокра_lsp/positions.hpp"

namespace vokra::lsp {

namespace {

// 1-based to 0-based, floored at 0 and kept within the protocol's range.
std::uint32_t от_нуля(std::size_t номер) {
    const std::size_t с_нуля = номер == 0 ? 0 : номер - 1;
    return static_cast<std::uint32_t>(
        std::min<std::size_t>(с_нуля, std::numeric_limits<std::uint32_t>::max() - 1));
}

// A message past the bound ends with "…" within it, cut at the start of a
// character: a text can make the front end quote long names and printed
// types, and the editor receives the diagnostic again on every change.
std::string в_пределе(std::string сообщение) {
    if (сообщение.size() <= предел_сообщения)
        return сообщение;
    std::size_t конец = предел_сообщения - std::string_view("…").size();
    while (конец > 0 && (static_cast<unsigned char>(сообщение[конец]) & 0xC0) == 0x80)
        --конец;
    сообщение.resize(конец);
    return fmt::format(сообщения::начало_строки, сообщение);
}

}  // namespace

Диагностика диагностика_с_позицией(std::size_t строка, std::size_t столбец, std::string сообщение) {
    const Позиция начало{от_нуля(строка), от_нуля(столбец)};
    return Диагностика{{начало, {начало.строка, начало.символ + 1}},
                       1,
                       fmt::format(сообщения::источник_диагностик),
                       в_пределе(std::move(сообщение))};
}

Диагностика диагностика_нехватки_памяти() {
    return диагностика_с_позицией(1, 1, fmt::format(сообщения::нехватка_памяти));
}

namespace {

// What a check built, kept until its result has been handed to the writer:
// freeing a whole tree and the analyser's tables is a good part of a check,
// and the client need not wait for it.
struct ПостроенноеПроверкой {
    std::vector<ast::ВерхнийУзел> программа;
    std::optional<vokra::semantic::СемантическийАнализатор> анализатор;
};

// A check that went past its stack's limit says so at the text's start.
Диагностика слишком_глубоко() {
    return диагностика_с_позицией(1, 1, fmt::format(сообщения::слишком_глубоко));
}

std::optional<Диагностика> первая_ошибка(std::string_view текст,
                                         ПостроенноеПроверкой& построенное) {
    // Parsed with edit recording off; nothing is kept between checks.
    auto программа = vokra::parser::разобрать_исходный_текст(текст);
    if (!программа) {
        auto& ошибка = программа.error();
        if (ошибка.стек_исчерпан)
            return слишком_глубоко();
        return диагностика_с_позицией(ошибка.строка, ошибка.столбец, std::move(ошибка.сообщение));
    }
    построенное.программа = std::move(*программа);
    // Every node belongs to the main file: one empty module entry per node,
    // so that every function is registered before the bodies are checked.
    auto& анализатор =
        построенное.анализатор.emplace(vokra::semantic::СемантическийАнализатор::новый());
    const std::vector<std::optional<std::string>> модуль_узла(построенное.программа.size());
    // Nothing reads the bodies after the check: each is freed once checked.
    auto итог =
        анализатор.проверить_программу_освобождая_тела(построенное.программа, {}, модуль_узла);
    if (итог)
        return std::nullopt;
    if (итог.error().стек_исчерпан)
        return слишком_глубоко();
    return диагностика_с_позицией(
        1, 1, fmt::format(сообщения::без_точной_позиции, итог.error().сообщение));
}

// An allocation that fails ends this check alone: what the check built is
// freed as the failure leaves it, and the document's one diagnostic says
// that it was not checked.
std::optional<Диагностика> первая_ошибка_в_памяти(std::string_view текст,
                                                  ПостроенноеПроверкой& построенное) {
    try {
        return первая_ошибка(текст, построенное);
    } catch (const std::bad_alloc&) {
        построенное = {};
        return диагностика_нехватки_памяти();
    }
}

}  // namespace

std::optional<Диагностика> первая_ошибка(std::string_view текст) {
    ПостроенноеПроверкой построенное;
    return первая_ошибка_в_памяти(текст, построенное);
}

tl::expected<void, ОшибкаСервера> отправить_диагностики(const Отправитель& отправитель,
                                                        const std::string& uri,
                                                        std::vector<Диагностика> диагностики) {
    return отправитель.отправить(
        уведомление("textDocument/publishDiagnostics",
                    в_json(ПараметрыПубликации{uri, std::move(диагностики)})));
}

tl::expected<void, ОшибкаСервера> проверить_и_отправить_диагностики(const Отправитель& отправитель,
                                                                    const std::string& uri,
                                                                    std::string_view текст) {
    std::vector<Диагностика> диагностики;
    ПостроенноеПроверкой построенное;
    if (auto ошибка = первая_ошибка_в_памяти(текст, построенное)) {
        auto& диапазон = ошибка->диапазон;
        диапазон = {позиция_в_utf16(текст, диапазон.начало),
                    позиция_в_utf16(текст, диапазон.конец)};
        диагностики.push_back(std::move(*ошибка));
    }
    return отправить_диагностики(отправитель, uri, std::move(диагностики));
}

}  // namespace vokra::lsp
