#include "вокра_lsp/signatures.hpp"

#include <fmt/format.h>

#include <iterator>

#include "вокра_lsp/messages.hpp"
#include "подсказки/подсказки.hpp"

namespace vokra::lsp {

using vokra::подсказки::тип_в_текст;

std::string параметры_в_текст(const std::vector<vokra::ast::Параметр>& параметры) {
    std::string текст;
    for (const auto& параметр : параметры) {
        if (!текст.empty())
            текст += ", ";
        fmt::format_to(std::back_inserter(текст), сообщения::параметр, тип_в_текст(параметр.тип),
                       параметр.имя);
    }
    return текст;
}

std::string возврат_в_текст(const std::optional<vokra::ast::Тип>& тип) {
    return тип ? fmt::format(сообщения::тип_возврата, тип_в_текст(*тип)) : std::string();
}

std::string поля_в_текст(const std::vector<vokra::ast::ПолеСтруктуры>& поля) {
    std::string текст;
    for (const auto& поле : поля) {
        if (!текст.empty())
            текст += '\n';
        fmt::format_to(std::back_inserter(текст), сообщения::поле, тип_в_текст(поле.тип), поле.имя);
    }
    return текст;
}

}  // namespace vokra::lsp
