// The recursive-descent parser over the lexer's token list. It stops at the
// first error: every grammar method yields its node or an ОшибкаПарсера, and
// nothing built before an error survives it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tl/expected.hpp>
#include <utility>
#include <vector>

#include "ast/ast.hpp"
#include "lexer/lexer.hpp"
#include "parser/chunked_list.hpp"
#include "parser/edits.hpp"
#include "parser/speculation.hpp"
#include "token/token.hpp"
#include "token/token_list.hpp"

namespace vokra::parser {

struct ОшибкаПарсера {
    std::string сообщение;
    std::size_t строка = 1;
    std::size_t столбец = 1;
    // The parse went deeper than its thread's stack allows (ast/stack.hpp);
    // the message is then empty: the text was not read to its end, and the
    // caller that shows the stop words it.
    bool стек_исчерпан = false;

    bool operator==(const ОшибкаПарсера&) const = default;
};

template <class T>
using Итог = tl::expected<T, ОшибкаПарсера>;

// How a typed call's `(` reads as a parenthesized expression, learned by the
// failed attempt to read the call: the same first expression is read, and
// then a `)` is wanted. Either the expression failed with `ошибка`, or it
// ended at the token `после_первого`, which is no `)`.
struct ПрочтениеВСкобках {
    std::optional<ОшибкаПарсера> ошибка;
    std::size_t после_первого = 0;
    std::size_t открыто = 0;
};

// By the index of the `(`; taken when it is read.
using ПрочтенияВСкобках = std::map<std::size_t, ПрочтениеВСкобках>;

// A run of one prefix operator, `-`, `не` or `~`, waiting for its operand:
// `число` of them, one a token, from the token at `позиция` on.
struct ПрефиксныйОператор {
    ВидТокена вид;
    std::size_t позиция;
    std::size_t число;
};

// Nesting deeper than this stops the parse with a syntax error, so that the
// parser, and every later walk over the tree, stays within a bounded depth
// of recursion whatever the text. The stack is measured at the same places:
// a thread with less room than that depth needs stops the parse earlier.
inline constexpr std::size_t предел_вложенности = 1000;

struct Парсер {
    // Ends with КонецФайла once the whole text is lexed. A parser made from
    // its text lexes it as the parse asks for tokens, so even the accessors
    // that change nothing may add tokens. Tokens the parse has left behind
    // are freed as it goes (отбросить_прочитанные); a parser made from its
    // text frees them inside speculative reads too, and lexes a chunk again
    // when a read comes back to it.
    mutable СписокТокенов токены;
    // The lexer of the text's tokens not yet read; none once the list holds
    // its КонецФайла.
    mutable std::optional<Лексер> лексер;
    // The lexer as it stood before the first token of each chunk: the chunk
    // is lexed from there again. Empty for a parser given its tokens.
    mutable std::vector<Лексер> начала_кусков;
    // The lexical error that ended the list early, if one did.
    mutable std::optional<ОшибкаЛексера> ошибка_лексера;
    // Tokens lexed at a time when the parse asks for one not yet lexed: a
    // chunk's worth, few enough to be still in cache when the parser reads
    // them, and enough that the lexer runs in long stretches. Tests lex in
    // smaller steps, to meet the end of what is lexed everywhere.
    std::size_t токенов_за_раз = СписокТокенов::в_куске;
    // Commas met between generic parameters since the last `<` … `>` list of
    // a declaration was closed.
    std::vector<std::size_t> позиции_запятых;
    std::vector<Правка> правки;
    std::size_t текущий = 0;
    bool в_типе_возврата = false;
    // Nothing in the system sets it; tests set it to see the edits.
    bool записывать_правки = false;
    bool иначе_если_в_фигурных = false;
    bool типы_из_в_выражении = false;
    bool тип_после_из = false;

    // Levels of nesting open at the current point of the parse.
    std::size_t глубина = 0;
    // Set once the nesting limit or the stack's was passed: that error ends
    // the parse even inside a speculative attempt, which would otherwise
    // swallow it.
    bool глубина_превышена = false;
    // The deepest level reached so far: how deep a read went is told by it.
    std::size_t наибольшая_глубина = 0;
    // Token indices of `<` where the speculative `<types>(args)` call failed.
    // The attempt depends only on its position, so it is never repeated:
    // nested failed attempts would otherwise cost 2^depth.
    std::vector<bool> неудачные_попытки;
    // Speculative reads open at the current point (typed-call attempts and
    // look-ahead types), after which the cursor may go back.
    std::size_t открытых_попыток = 0;
    // By token index, for the tokens before угловые_проверены_до: whether a
    // `<` is closed by a `>` with only tokens of types between them
    // (угловая_закрыта), and whether a `(` follows that `>`
    // (угловая_перед_скобкой). A byte per token, not a bit: asked at every
    // `<` and written as each run is paired.
    std::vector<std::uint8_t> угловые;
    static constexpr std::uint8_t угловая_закрыта = 1, угловая_перед_скобкой = 2;
    std::size_t угловые_проверены_до = 0;
    // The `<` still open while a run of type tokens is paired; kept for its
    // room.
    std::vector<std::size_t> открытые_угловые;
    // Types read inside speculative reads, and the `(` of typed calls whose
    // attempt failed: read again there, they come to the same.
    ПамятьТипов память_типов;
    ПрочтенияВСкобках прочтения_в_скобках;
    // The statements read so far of every block open at the current point,
    // the innermost block's last. A block takes its own when it closes, so
    // it is allocated once, at its size.
    СписокКусками<ast::ОператорСоСтрокой> операторы_блоков;
    // The same for the arguments of calls and the elements of array literals.
    СписокКусками<ast::Выражение> аргументы_вызовов;
    // The same for the type arguments of written generic types.
    СписокКусками<ast::Тип> аргументы_типов;
    // The same for the prefix operators of a run.
    СписокКусками<ПрефиксныйОператор> префиксные_операторы;

    static Парсер новый(СписокТокенов токены);
    // A parser that lexes `текст` as it reads; the text is read in place and
    // must outlive the parser.
    static Парсер из_текста(std::string_view текст);

    // Tokens. The token at `индекс`, lexed if it was not yet, or the final
    // КонецФайла when the list ends before it.
    [[gnu::always_inline]] const ТокенСПозицией& токен_по_индексу(std::size_t индекс) const {
        if (индекс >= токены.size()) [[unlikely]]
            return дочитать(индекс);
        if (!токены.хранится(индекс)) [[unlikely]]
            return перечитать(индекс);
        return токены[индекс];
    }
    // Lexes until the token `индекс` is on the list or the list is complete,
    // and returns it or the final КонецФайла. Kept out of line, so that the
    // accessors of every grammar method stay small.
    [[gnu::noinline]] const ТокенСПозицией& дочитать(std::size_t индекс) const;
    // Lexes the freed chunk of the token `индекс` again and returns the token.
    [[gnu::noinline]] const ТокенСПозицией& перечитать(std::size_t индекс) const;
    // Whether freed chunks can be lexed again: the parser lexes its text.
    bool перечитываемый() const { return !начала_кусков.empty(); }
    // The lexical error of the whole text, if it has one: the one that ended
    // the list, or else the first in the part of the text not yet lexed,
    // which is lexed for it without keeping its tokens.
    std::optional<ОшибкаЛексера> лексическая_ошибка();

    // Cursor. No operation moves past the final КонецФайла.
    const ТокенСПозицией& текущий_токен() const { return токен_по_индексу(текущий); }
    bool проверить(const Token& образец) const;
    bool проверить(ВидТокена вид) const { return текущий_токен().токен.вид == вид; }
    // The kind of the current token, told inline: for the steps a nest takes
    // at every level.
    [[gnu::always_inline]] ВидТокена вид_здесь() const {
        return токен_по_индексу(текущий).токен.вид;
    }
    // Frees the tokens before the current one while no edits are recorded:
    // where no speculative read is open nothing reads them again, and inside
    // one a parser that lexes its text lexes them again if it goes back.
    // Asked after every statement and argument: what most calls find, that
    // there is nothing to free, is told inline.
    [[gnu::always_inline]] void отбросить_прочитанные() {
        if (открытых_попыток == 0) {
            if (!память_типов.по_токенам.empty() || !прочтения_в_скобках.empty()) [[unlikely]]
                забыть_прочитанное();
            else
                память_типов.база = текущий;
        }
        if (текущий >= токены.первый_хранимый() + СписокТокенов::в_куске) [[unlikely]]
            освободить_прочитанные();
    }
    // Drops what speculative reads learned before the cursor: where no
    // speculative read is open, nothing reads it again.
    [[gnu::noinline]] void забыть_прочитанное();
    [[gnu::noinline]] void освободить_прочитанные();
    bool совпадает(const Token& образец);
    bool совпадает(ВидТокена вид) {
        if (!проверить(вид))
            return false;
        if (вид != ВидТокена::КонецФайла)
            ++текущий;
        return true;
    }
    [[gnu::always_inline]] const Token& продвинуться() {
        const Token& токен = текущий_токен().токен;
        if (токен.вид != ВидТокена::КонецФайла)
            ++текущий;
        return токен;
    }
    const ТокенСПозицией& заглянуть_вперёд() const { return токен_после(1); }
    // The token `смещение` places after the current one, clamped to the last.
    const ТокенСПозицией& токен_после(std::size_t смещение) const {
        return токен_по_индексу(текущий + смещение);
    }
    Итог<void> ожидать(const Token& образец, std::string_view описание);
    [[gnu::always_inline]] Итог<void> ожидать(ВидТокена вид, std::string_view описание) {
        if (совпадает(вид))
            return {};
        return не_то_ожидалось(вид, описание);
    }
    // The error of ожидать, kept out of line.
    Итог<void> не_то_ожидалось(ВидТокена вид, std::string_view описание);
    Итог<std::string> ожидать_идентификатор(std::string_view описание);
    // Consumes the current token, a name or a text, and returns its text.
    std::string взять_текст();
    // The current token's text handed to `взять`, moved or copied as
    // взять_текст takes it; the cursor moves past it.
    template <class Взять>
    auto отдать_текст(Взять&& взять);
    // The name at the cursor as an expression, its text taken as взять_текст
    // takes it; the cursor moves past it.
    Итог<ast::Выражение> имя_здесь();
    ОшибкаПарсера ошибка(std::string сообщение) const;
    ОшибкаПарсера ошибка_глубины();
    ОшибкаПарсера ошибка_стека();

    // Edits; each does nothing while записывать_правки is clear.
    // The edit of kind Вид built in place from its fields.
    template <class Вид, class... Поля>
    void записать(Поля&&... поля) {
        if (записывать_правки)
            правки.emplace_back().вид.template emplace<Вид>(Вид{std::forward<Поля>(поля)...});
    }
    void заменить(std::size_t позиция, std::string_view текст);
    void заменить_вид(std::size_t позиция, char символ);
    void записать_бит(std::string_view функция, std::size_t начало,
                      std::initializer_list<std::size_t> операторы, std::size_t конец);
    void угловые_скобки(std::vector<std::size_t> запятые, std::size_t открытие,
                        std::size_t закрытие, bool объявление);

    // Top level. A parse that went past the stack's limit anywhere, in an
    // interpolated piece or in the index rewrite too, ends with ошибка_стека.
    Итог<std::vector<ast::ВерхнийУзел>> разобрать_программу();
    Итог<std::vector<ast::ВерхнийУзел>> разобрать_объявления();
    Итог<ast::ОбъявлениеФункции> разобрать_функцию();
    Итог<std::vector<ast::Параметр>> разобрать_параметры();
    Итог<ast::Параметр> разобрать_один_параметр();
    Итог<std::vector<ast::ОбобщённыйПараметр>> разобрать_обобщённые_параметры();
    Итог<ast::ОбобщённыйПараметр> разобрать_один_обобщённый_параметр();
    bool съесть_указатель_возврата();
    Итог<ast::ВерхнийУзел> разобрать_подключение();
    Итог<ast::ВерхнийУзел> разобрать_структуру();
    Итог<ast::ВерхнийУзел> разобрать_контракт();
    Итог<ast::ВерхнийУзел> разобрать_внешнюю_функцию();
    Итог<std::optional<ast::Тип>> разобрать_тип_возврата();

    // Statements and blocks.
    Итог<ast::Блок> разобрать_блок();
    // The block and whether it had the `конец` form (its word not consumed).
    Итог<std::pair<ast::Блок, bool>> разобрать_блок_вид(bool стоп_на_иначе);
    Итог<ast::Оператор> разобрать_оператор();
    Итог<ast::Оператор> разобрать_если();
    Итог<ast::Оператор> разобрать_идентификатор_как_оператор();
    Итог<ast::Оператор> разобрать_объявление();
    // Look-ahead tests: they move nothing; only a nesting error escapes them.
    Итог<bool> похоже_на_обобщённое_объявление();
    Итог<bool> похоже_на_объявление_массива_пользовательского_типа();

    // Operator expressions: the whole precedence ladder from its loosest level.
    Итог<ast::Выражение> разобрать_выражение();
    Итог<ast::Выражение> разобрать_унарное();
    // A run of prefix `-`, `не` and `~` and their operand.
    Итог<ast::Выражение> разобрать_префиксное();
    // The binary levels from `уровень` (1 loosest … 10 tightest) down.
    Итог<ast::Выражение> разобрать_бинарное(int уровень);
    // The same past a first operand `левое` read from the token `начало` on:
    // the operators after it and their operands, or the error of one.
    void дособрать_бинарное(Итог<ast::Выражение>& левое, int уровень, std::size_t начало);
    // The whole expression whose first primary, read from the token `начало`
    // on, is `операнд`: its postfix chain and the binary operators after it.
    void дособрать_выражение(Итог<ast::Выражение>& операнд, std::size_t начало);

    // Primary and postfix expressions.
    Итог<ast::Выражение> разобрать_первичное();
    Итог<ast::Выражение> дособрать_постфиксные_операции(ast::Выражение выражение);
    // The rest of the array literal opened at the token `открытие`, after its
    // first element, which `элемент` holds: its other elements, its `]` and
    // its edits; the literal, or the error, then takes the element's place.
    void закончить_массив(std::size_t открытие, Итог<ast::Выражение>& элемент);
    // The `]` of the array literal opened at the token `открытие`, and its edits.
    Итог<void> закрыть_массив(std::size_t открытие);
    Итог<std::vector<ast::Выражение>> разобрать_аргументы();
    // `<types>(args)` tried from the current `<`; nothing (and the cursor and
    // edits as they were) when it does not read that way. The call's record
    // is `заголовок` with the types read, followed by the arguments.
    template <class Заголовок>
    Итог<std::optional<ast::ЗаписьСоСписком<Заголовок, ast::Выражение>>> попробовать_типовой_вызов(
        Заголовок заголовок);
    // Whether a typed call is tried at the `<` at this index: no attempt
    // failed there, and the `<` is closed by a `>` that a `(` follows.
    bool типовой_вызов_пробуется(std::size_t начало);
    // Whether what types read before tell that no `<types>(` starts at the
    // `<` at this index, without reading it again.
    bool типовой_вызов_невозможен(std::size_t начало) const;
    // The error of the parenthesized expression at the current `(`, when a
    // failed typed call read it already and it may be given again here.
    std::optional<ОшибкаПарсера> прочтённое_в_скобках();
    // Types after `из` with типы_из_в_выражении set.
    Итог<std::vector<ast::Тип>> разобрать_типы_из_в_выражении();
    Итог<ast::Выражение> разобрать_текст(std::string текст);
    tl::expected<ast::Выражение, std::string> разобрать_вложенное_выражение_интерполяции(
        std::string_view текст);

    // Types. разобрать_тип remembers, inside speculative reads, what
    // прочитать_тип read.
    Итог<ast::Тип> разобрать_тип();
    Итог<ast::Тип> прочитать_тип();
    // Whether a list of types in angle brackets may start at the `<` at this
    // index: false when no `>` closes it, so reading types from it can only
    // fail. A speculative attempt asks first, so arguments such as
    // `a < b, c < d, …` are never read as ever deeper types.
    bool угловая_закрывается(std::size_t позиция);
    // Whether it is closed by a `>` that a `(` follows: only then may
    // `<types>(` start there, as the types between pair their own brackets.
    bool угловая_закрывается_перед_скобкой(std::size_t позиция);
    Итог<std::vector<ast::Тип>> разобрать_список_типов_после_из();
};

// Which stage of reading a source text failed.
enum class ЭтапРазбора { Лексический, Синтаксический };

struct ОшибкаРазбора {
    std::string сообщение;
    std::size_t строка = 1;
    std::size_t столбец = 1;
    ЭтапРазбора этап = ЭтапРазбора::Синтаксический;
    // As in ОшибкаПарсера.
    bool стек_исчерпан = false;

    bool operator==(const ОшибкаРазбора&) const = default;
};

// Lexes and parses a whole source text, the lexer feeding the parser as it
// reads, so the text's tokens are never all held at once. The result is
// that of lexing the whole text first: a lexical error anywhere in the text
// comes before any syntax error. The text is read in place and must outlive
// the call. `токенов_за_раз`: see Парсер.
tl::expected<std::vector<ast::ВерхнийУзел>, ОшибкаРазбора> разобрать_исходный_текст(
    std::string_view текст, std::size_t токенов_за_раз = СписокТокенов::в_куске);

// `наложить_маску(a, b)` and the other bit built-ins as operator nodes, the
// arguments moved into them; nothing, and the arguments untouched, for any
// other name or number of arguments.
std::optional<ast::Выражение> битовая_функция(std::string_view имя,
                                              std::span<ast::Выражение> аргументы);

// The target of an assignment written as an expression, or the message why
// it cannot be one.
tl::expected<ast::МестоЗаписи, std::string> выражение_в_место_записи(ast::Выражение выражение);

}  // namespace vokra::parser
