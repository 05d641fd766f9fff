// The failure that ends the language server: a finished description, written
// to standard error after the prefix "Error: ".
#pragma once

#include <string>

namespace vokra::lsp {

struct ОшибкаСервера {
    std::string описание;
};

// The one line written to standard error. Control characters of the
// description (a quoted header may hold any byte) are written as \u{hex},
// so the line neither breaks nor drives the terminal.
std::string строка_ошибки(const ОшибкаСервера& ошибка);

}  // namespace vokra::lsp
