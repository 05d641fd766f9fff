// Text literals with interpolated pieces: `${выражение}`, `$имя`,
// `%(выражение)%` and `%имя%`, with `%%` for a plain percent sign. Each
// expression piece is lexed and parsed by a lexer and a parser of its own.
#include <fmt/format.h>

#include "lexer/lexer.hpp"
#include "parser/internal.hpp"
#include "parser/messages.hpp"
#include "unicode/unicode.hpp"

namespace vokra::parser {

namespace {

bool начало_имени(char32_t с) {
    return с == U'_' || unicode::буквенный(с);
}

// Index of the closing bracket that matches an opening one just before
// `от`, or the text's length when there is none.
std::size_t парная_скобка(std::u32string_view символы, std::size_t от, char32_t открывающая,
                          char32_t закрывающая) {
    std::size_t уровень = 1;
    for (std::size_t i = от; i < символы.size(); ++i) {
        if (символы[i] == открывающая) {
            ++уровень;
        } else if (символы[i] == закрывающая && --уровень == 0) {
            return i;
        }
    }
    return символы.size();
}

std::size_t конец_имени(std::u32string_view символы, std::size_t от) {
    while (от < символы.size() && unicode::символ_слова(символы[от]))
        ++от;
    return от;
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
    if (!выражение) {
        глубина_превышена = глубина_превышена || вложенный.глубина_превышена;
        return tl::unexpected(
            fmt::format(сообщения::ошибка_интерполяции, текст, выражение.error().сообщение));
    }
    if (!вложенный.проверить(ВидТокена::КонецФайла))
        return tl::unexpected(fmt::format(сообщения::лишние_символы_интерполяции, текст));
    return std::move(*выражение);
}

Итог<ast::Выражение> Парсер::разобрать_текст(const std::string& текст) {
    if (текст.find_first_of("$%") == std::string::npos)
        return узел(ast::Выражение::ТекстЛит{текст});

    const std::u32string символы = unicode::декодировать(текст);
    const std::size_t n = символы.size();
    std::vector<ast::ФрагментТекста> фрагменты;
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
        добавить_выражение(узел(ast::Выражение::Идентификатор{
            unicode::закодировать(std::u32string_view(символы).substr(от, до - от))}));
    };
    auto разобрать_кусок = [&](std::size_t от, std::size_t до) -> Итог<void> {
        const std::string внутри =
            unicode::закодировать(std::u32string_view(символы).substr(от, до - от));
        auto выражение = разобрать_вложенное_выражение_интерполяции(внутри);
        if (!выражение)
            return tl::unexpected(ошибка(std::move(выражение.error())));
        добавить_выражение(std::move(*выражение));
        return {};
    };

    std::size_t i = 0;
    while (i < n) {
        const char32_t с = символы[i];
        const char32_t следующий = i + 1 < n ? символы[i + 1] : U'\0';
        const bool есть_следующий = i + 1 < n;
        if (с == U'$' && есть_следующий && следующий == U'{') {
            const std::size_t закрытие = парная_скобка(символы, i + 2, U'{', U'}');
            if (закрытие == n)
                return tl::unexpected(
                    ошибка(fmt::format(сообщения::незакрытая_интерполяция, текст)));
            ПОПЫТКА(разобрать_кусок(i + 2, закрытие));
            i = закрытие + 1;
        } else if (с == U'$' && есть_следующий && начало_имени(следующий)) {
            const std::size_t конец = конец_имени(символы, i + 1);
            добавить_имя(i + 1, конец);
            i = конец;
        } else if (с == U'%' && есть_следующий && следующий == U'(') {
            const std::size_t закрытие = парная_скобка(символы, i + 2, U'(', U')');
            if (закрытие + 1 < n && символы[закрытие + 1] == U'%') {
                ПОПЫТКА(разобрать_кусок(i + 2, закрытие));
                i = закрытие + 2;
            } else {
                буфер += '%';
                ++i;
            }
        } else if (с == U'%' && есть_следующий && следующий == U'%') {
            буфер += '%';
            i += 2;
        } else if (с == U'%' && есть_следующий && начало_имени(следующий)) {
            const std::size_t конец = конец_имени(символы, i + 1);
            if (конец < n && символы[конец] == U'%') {
                добавить_имя(i + 1, конец);
                i = конец + 1;
            } else {
                буфер += '%';
                ++i;
            }
        } else {
            unicode::дописать(буфер, с);
            ++i;
        }
    }
    if (!буфер.empty())
        фрагменты.emplace_back().вид.emplace<ast::ФрагментТекста::Текст>(
            ast::ФрагментТекста::Текст{std::move(буфер)});

    if (фрагменты.size() == 1) {
        if (auto* текст_ = std::get_if<ast::ФрагментТекста::Текст>(&фрагменты[0].вид))
            return узел(ast::Выражение::ТекстЛит{std::move(текст_->текст)});
    }
    return узел(ast::Выражение::ИнтерполированныйТекст{std::move(фрагменты)});
}

}  // namespace vokra::parser
