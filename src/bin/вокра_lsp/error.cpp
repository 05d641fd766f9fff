#include "вокра_lsp/error.hpp"

#include <fmt/format.h>

#include "unicode/unicode.hpp"
#include "вокра_lsp/messages.hpp"

namespace vokra::lsp {

namespace {

// The general category Cc: C0, DEL and C1.
bool управляющий(char32_t с) {
    return с < 0x20 || (с >= 0x7F && с <= 0x9F);
}

}  // namespace

std::string строка_ошибки(const ОшибкаСервера& ошибка) {
    std::string описание;
    for (const char32_t с : unicode::декодировать(ошибка.описание)) {
        if (управляющий(с))
            описание += fmt::format(сообщения::управляющий_символ, static_cast<std::uint32_t>(с));
        else
            unicode::дописать(описание, с);
    }
    return fmt::format(сообщения::ошибка_сервера, описание);
}

}  // namespace vokra::lsp
