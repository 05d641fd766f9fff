// The failure that ends the language server: a finished description, written
// to standard error after the prefix "Error: ".
#pragma once

#include <string>

namespace vokra::lsp {

struct ОшибкаСервера {
    std::string описание;
};

}  // namespace vokra::lsp
