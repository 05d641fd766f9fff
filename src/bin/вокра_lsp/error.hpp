// The failure that ends the language server: a finished description, written
// to standard error after the prefix "Error: ".
#pragma once

#include <string>

namespace вокра_lsp {

struct ОшибкаСервера {
    std::string описание;
};

}  // namespace вокра_lsp
