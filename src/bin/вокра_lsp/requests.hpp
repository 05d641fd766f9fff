// Answers to the client's requests after the handshake.
#pragma once

#include <tl/expected.hpp>

#include "вокра_lsp/documents.hpp"
#include "вокра_lsp/error.hpp"
#include "вокра_lsp/jsonrpc.hpp"
#include "вокра_lsp/transport.hpp"

namespace vokra::lsp {

// Sends the result null for the request `id`.
tl::expected<void, ОшибкаСервера> ответить_пусто(const Отправитель& отправитель,
                                                 const ИдЗапроса& id);

// Sends exactly one response to the request. Hover, completion and definition
// decode their parameters first: parameters that do not decode get an
// invalid-params error and the server goes on. Every other method gets null.
tl::expected<void, ОшибкаСервера> обработать_запрос(const Отправитель& отправитель,
                                                    const Документы& документы,
                                                    const Запрос& запрос);

}  // namespace vokra::lsp
