// Text literals with interpolated pieces: `${выражение}`, `$имя`,
// `%(выражение)%` and `%имя%`, with `%%` for a plain percent sign. Each
// expression piece is lexed and parsed by a lexer and a parser of its own.
#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "lexer/lexer.hpp"
#include "parser/chunked_list.hpp"
#include "parser/internal.hpp"
#include "parser/messages.hpp"
#include "unicode/unicode.hpp"

namespace vokra::parser {

namespace {

using unicode::прочитать_символ;

bool начало_имени(char32_t с) {
    return с == U'_' || unicode::буквенный(с);
}

// The text is read in its UTF-8 bytes. Every character the syntax looks for
// is ASCII, and no byte of a longer sequence, well-formed or not, is ever
// ASCII, so byte positions of those characters are the character positions.

// The closing bracket of every `(` and `{` of a text, found in one pass and
// only once some piece asks for one. Counting from an opening bracket, +1
// for each like it and −1 for each closing one, first reaches 0 at the
// closing bracket that takes it off a stack of those still open: so every
// match is found without reading the rest of the text again for each.
struct ПарныеСкобки {
    std::string_view текст;
    // By the opening bracket's byte: the closing one's, or the text's length
    // when none closes it. A literal's text is held with the tokens of the
    // whole document, whose positions take 32 bits, so its bytes do too.
    std::vector<std::uint32_t> пара;

    // The closing bracket of the opening one at `открытие`, or the text's
    // length when there is none.
    std::size_t закрывающая(std::size_t открытие) {
        if (пара.empty())
            найти_все();
        return пара[открытие];
    }

  private:
    void найти_все() {
        const auto длина = static_cast<std::uint32_t>(текст.size());
        пара.assign(текст.size(), длина);
        std::vector<std::uint32_t> круглые, фигурные;
        for (std::uint32_t i = 0; i < длина; ++i) {
            switch (текст[i]) {
                case '(':
                    круглые.push_back(i);
                    break;
                case '{':
                    фигурные.push_back(i);
                    break;
                case ')':
                    закрыть(круглые, i);
                    break;
                case '}':
                    закрыть(фигурные, i);
                    break;
                default:
                    break;
            }
        }
    }
    void закрыть(std::vector<std::uint32_t>& открытые, std::uint32_t i) {
        if (открытые.empty())
            return;
        пара[открытые.back()] = i;
        открытые.pop_back();
    }
};

std::size_t конец_имени(std::string_view текст, std::size_t от) {
    while (от < текст.size()) {
        const auto [с, байтов] = прочитать_символ(текст, от);
        if (!unicode::символ_слова(с))
            break;
        от += байтов;
    }
    return от;
}

// Appends one character read at `i` and returns its length in bytes. A byte
// that starts no well-formed sequence is written as U+FFFD, as decoding the
// text would read it.
std::size_t дописать_символ(std::string& куда, std::string_view текст, std::size_t i) {
    if (static_cast<unsigned char>(текст[i]) < 0x80) {
        куда += текст[i];
        return 1;
    }
    const auto [с, байтов] = прочитать_символ(текст, i);
    if (байтов == 1)
        unicode::дописать(куда, с);
    else
        куда.append(текст.substr(i, байтов));
    return байтов;
}

// The end of the run of well-formed characters from `от` that holds no `$`
// or `%`: the run is copied as it is.
std::size_t конец_простого(std::string_view текст, std::size_t от) {
    while (от < текст.size()) {
        const auto байт = static_cast<unsigned char>(текст[от]);
        if (байт == '$' || байт == '%')
            break;
        if (байт < 0x80) {
            ++от;
            continue;
        }
        const std::size_t байтов = прочитать_символ(текст, от).байтов;
        // A malformed byte reads one byte long.
        if (байтов == 1)
            break;
        от += байтов;
    }
    return от;
}

// The bytes from `от` to `до` with every malformed byte written as U+FFFD.
std::string кусок(std::string_view текст, std::size_t от, std::size_t до) {
    std::string итог;
    итог.reserve(до - от);
    for (std::size_t i = от; i < до;)
        i += дописать_символ(итог, текст, i);
    return итог;
}

}  // namespace

tl::expected<ast::Выражение, std::string> Парсер::разобрать_вложенное_выражение_интерполяции(
    std::string_view текст) {
    auto токены = Лексер::новый(текст).токенизировать();
    if (!токены)
        return tl::unexpected(
            fmt::format(сообщения::ошибка_интерполяции, текст, токены.error().сообщение));
    Парсер вложенный = Парсер::новый(std::move(*токены));
    // The piece nests inside the text, so its depth adds to ours.
    вложенный.глубина = глубина;
    auto выражение = вложенный.разобрать_выражение();
    наибольшая_глубина = std::max(наибольшая_глубина, вложенный.наибольшая_глубина);
    if (!выражение) {
        глубина_превышена = глубина_превышена || вложенный.глубина_превышена;
        return tl::unexpected(
            fmt::format(сообщения::ошибка_интерполяции, текст, выражение.error().сообщение));
    }
    if (!вложенный.проверить(ВидТокена::КонецФайла))
        return tl::unexpected(fmt::format(сообщения::лишние_символы_интерполяции, текст));
    return std::move(*выражение);
}

Итог<ast::Выражение> Парсер::разобрать_текст(std::string текст) {
    if (текст.find_first_of("$%") == std::string::npos)
        return узел(ast::Выражение::ТекстЛит{std::move(текст)});

    const std::size_t n = текст.size();
    ПарныеСкобки скобки{текст, {}};
    // Gathered in chunks and moved once into a list of their number: an
    // array doubling as it grew would move them at every step, and one
    // cut down to size once more, through blocks that a long text makes
    // large enough to be fresh pages from the system every time.
    СписокКусками<ast::ФрагментТекста> фрагменты;
    std::string буфер;

    auto добавить_выражение = [&](ast::Выражение выражение) {
        if (!буфер.empty()) {
            фрагменты.emplace_back().вид.emplace<ast::ФрагментТекста::Текст>(
                ast::ФрагментТекста::Текст{std::move(буфер)});
            буфер.clear();
        }
        фрагменты.emplace_back().вид.emplace<ast::ФрагментТекста::Выражение>(
            ast::ФрагментТекста::Выражение{std::move(выражение)});
    };
    auto добавить_имя = [&](std::size_t от, std::size_t до) {
        добавить_выражение(узел(ast::Выражение::Идентификатор{кусок(текст, от, до)}));
    };
    auto разобрать_кусок = [&](std::size_t от, std::size_t до) -> Итог<void> {
        auto выражение = разобрать_вложенное_выражение_интерполяции(кусок(текст, от, до));
        if (!выражение)
            return tl::unexpected(ошибка(std::move(выражение.error())));
        добавить_выражение(std::move(*выражение));
        return {};
    };
    // Whether a name starts at byte `i`.
    auto имя_с = [&](std::size_t i) { return начало_имени(прочитать_символ(текст, i).символ); };

    std::size_t i = 0;
    while (i < n) {
        const char с = текст[i];
        const bool есть_следующий = i + 1 < n;
        const char следующий = есть_следующий ? текст[i + 1] : '\0';
        if (с == '$' && есть_следующий && следующий == '{') {
            const std::size_t закрытие = скобки.закрывающая(i + 1);
            if (закрытие == n)
                return tl::unexpected(
                    ошибка(fmt::format(сообщения::незакрытая_интерполяция, текст)));
            ПОПЫТКА(разобрать_кусок(i + 2, закрытие));
            i = закрытие + 1;
        } else if (с == '$' && есть_следующий && имя_с(i + 1)) {
            const std::size_t конец = конец_имени(текст, i + 1);
            добавить_имя(i + 1, конец);
            i = конец;
        } else if (с == '%' && есть_следующий && следующий == '(') {
            const std::size_t закрытие = скобки.закрывающая(i + 1);
            if (закрытие + 1 < n && текст[закрытие + 1] == '%') {
                ПОПЫТКА(разобрать_кусок(i + 2, закрытие));
                i = закрытие + 2;
            } else {
                буфер += '%';
                ++i;
            }
        } else if (с == '%' && есть_следующий && следующий == '%') {
            буфер += '%';
            i += 2;
        } else if (с == '%' && есть_следующий && имя_с(i + 1)) {
            const std::size_t конец = конец_имени(текст, i + 1);
            if (конец < n && текст[конец] == '%') {
                добавить_имя(i + 1, конец);
                i = конец + 1;
            } else {
                буфер += '%';
                ++i;
            }
        } else if (const std::size_t конец = конец_простого(текст, i); конец > i) {
            буфер.append(текст, i, конец - i);
            i = конец;
        } else {
            i += дописать_символ(буфер, текст, i);
        }
    }
    if (!буфер.empty())
        фрагменты.emplace_back().вид.emplace<ast::ФрагментТекста::Текст>(
            ast::ФрагментТекста::Текст{std::move(буфер)});

    if (фрагменты.size() == 1) {
        if (auto* текст_ = std::get_if<ast::ФрагментТекста::Текст>(&фрагменты[0].вид))
            return узел(ast::Выражение::ТекстЛит{std::move(текст_->текст)});
    }
    // Each chunk is freed once moved, so the pieces are held about once.
    std::vector<ast::ФрагментТекста> по_порядку;
    по_порядку.reserve(фрагменты.size());
    for (auto& кусок : фрагменты.куски) {
        std::ranges::move(кусок, std::back_inserter(по_порядку));
        std::vector<ast::ФрагментТекста>().swap(кусок);
    }
    return узел(ast::Выражение::ИнтерполированныйТекст{std::move(по_порядку)});
}

}  // namespace vokra::parser
