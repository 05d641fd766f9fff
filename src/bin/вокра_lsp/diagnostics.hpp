// Checking a document with the language front end and publishing the first
// error as its one diagnostic, or an empty list when every stage passes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <tl/expected.hpp>
#include <vector>

#include "вокра_lsp/error.hpp"
#include "вокра_lsp/protocol.hpp"
#include "вокра_lsp/transport.hpp"

namespace vokra::lsp {

// A diagnostic's message is at most this many bytes.
inline constexpr std::size_t предел_сообщения = 64 * 1024;

// A diagnostic at a 1-based line and column of the language, counted in code
// points: 0-based, floored at 0, one character wide; its message cut to
// предел_сообщения.
Диагностика диагностика_с_позицией(std::size_t строка, std::size_t столбец, std::string сообщение);

// The one diagnostic of a document that was not checked for lack of memory.
Диагностика диагностика_нехватки_памяти();

// The first error of the lexer, the parser or the analyser over a text, its
// range counted in code points (an analyser error at the text's start);
// nothing when the text passes every stage. A check that runs out of
// memory, or past its stack's limit, gives the one diagnostic that says so,
// at the text's start.
std::optional<Диагностика> первая_ошибка(std::string_view текст);

tl::expected<void, ОшибкаСервера> отправить_диагностики(const Отправитель& отправитель,
                                                        const std::string& uri,
                                                        std::vector<Диагностика> диагностики);

// Checks the text afresh and publishes the result for the URI, with the range
// converted to UTF-16 units against the text's lines.
tl::expected<void, ОшибкаСервера> проверить_и_отправить_диагностики(const Отправитель& отправитель,
                                                                    const std::string& uri,
                                                                    std::string_view текст);

}  // namespace vokra::lsp
