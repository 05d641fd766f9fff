#include <fmt/format.h>

#include <algorithm>

#include "parser/internal.hpp"
#include "parser/messages.hpp"
#include "parser/words.hpp"

namespace vokra::parser {

namespace {

// Lexes the next tokens onto `токены`; records the error, and drops the
// lexer once the list is complete.
void прочитать_ещё(std::optional<Лексер>& лексер, std::optional<ОшибкаЛексера>& ошибка_лексера,
                   СписокТокенов& токены, std::size_t сколько) {
    if (auto итог = лексер->дописать(токены, сколько); !итог)
        ошибка_лексера = std::move(итог.error());
    if (токены.back().токен.вид == ВидТокена::КонецФайла)
        лексер.reset();
}

}  // namespace

Парсер Парсер::новый(СписокТокенов токены) {
    Парсер п;
    п.токены = std::move(токены);
    return п;
}

Парсер Парсер::из_текста(std::string_view текст) {
    Парсер п;
    п.лексер = Лексер::новый(текст);
    // Every token takes a byte of the text or more, and the end one more:
    // the first chunk is made at the size it may reach, so that no token
    // moves while the list grows under references the parser holds.
    п.токены.зарезервировать(текст.size() + 1);
    return п;
}

const ТокенСПозицией& Парсер::дочитать(std::size_t индекс) const {
    constexpr std::size_t в_куске = СписокТокенов::в_куске;
    while (лексер && индекс >= токены.size()) {
        // No step passes the end of a chunk, so that every chunk starts a
        // step and the lexer is kept as it stood there.
        const std::size_t занято = токены.size() % в_куске;
        if (занято == 0)
            начала_кусков.push_back(*лексер);
        прочитать_ещё(лексер, ошибка_лексера, токены,
                      std::min(std::max<std::size_t>(токенов_за_раз, 1), в_куске - занято));
    }
    return индекс < токены.size() ? токены[индекс] : токены.back();
}

const ТокенСПозицией& Парсер::перечитать(std::size_t индекс) const {
    constexpr std::size_t в_куске = СписокТокенов::в_куске;
    const std::size_t номер = индекс / в_куске;
    // The same lexer over the same text makes the same tokens again; the
    // error that ended the list, if one did, ends the chunk again as it did.
    Лексер заново = начала_кусков[номер];
    СписокТокенов кусок;
    кусок.куски.push_back(токены.взять_запас());
    (void)заново.дописать(кусок, std::min(в_куске, токены.size() - номер * в_куске));
    токены.вернуть_кусок(номер, std::move(кусок.куски.front()));
    return токены[индекс];
}

std::optional<ОшибкаЛексера> Парсер::лексическая_ошибка() {
    while (лексер) {
        СписокТокенов остаток;
        остаток.зарезервировать(СписокТокенов::в_куске);
        прочитать_ещё(лексер, ошибка_лексера, остаток, СписокТокенов::в_куске);
    }
    return ошибка_лексера;
}

tl::expected<std::vector<ast::ВерхнийУзел>, ОшибкаРазбора> разобрать_исходный_текст(
    std::string_view текст, std::size_t токенов_за_раз) {
    auto п = Парсер::из_текста(текст);
    п.токенов_за_раз = токенов_за_раз;
    auto программа = п.разобрать_программу();
    if (auto ошибка = п.лексическая_ошибка())
        return tl::unexpected(ОшибкаРазбора{std::move(ошибка->сообщение), ошибка->строка,
                                            ошибка->столбец, ЭтапРазбора::Лексический});
    if (!программа) {
        auto& ошибка = программа.error();
        return tl::unexpected(ОшибкаРазбора{std::move(ошибка.сообщение), ошибка.строка,
                                            ошибка.столбец, ЭтапРазбора::Синтаксический,
                                            ошибка.стек_исчерпан});
    }
    return std::move(*программа);
}

bool Парсер::проверить(const Token& образец) const {
    const Token& токен = текущий_токен().токен;
    if (токен.вид != образец.вид)
        return false;
    switch (образец.вид) {
        case ВидТокена::ЦелоеЛит:
        case ВидТокена::ДробноеЛит:
        case ВидТокена::ТекстЛит:
        case ВидТокена::Идентификатор:
        case ВидТокена::ВерноЛит:
            return токен.значение == образец.значение;
        default:
            return true;
    }
}

// The matched token is of the pattern's kind: it is known without looking
// at it again whether it is the final one, which the cursor never passes.
bool Парсер::совпадает(const Token& образец) {
    if (!проверить(образец))
        return false;
    if (образец.вид != ВидТокена::КонецФайла)
        ++текущий;
    return true;
}

Итог<void> Парсер::ожидать(const Token& образец, std::string_view описание) {
    if (совпадает(образец))
        return {};
    return tl::unexpected(ошибка(fmt::format(сообщения::ожидалось, описание, образец.в_тексте(),
                                             текущий_токен().токен.в_тексте())));
}

Итог<void> Парсер::не_то_ожидалось(ВидТокена вид, std::string_view описание) {
    return ожидать(Token::простой(вид), описание);
}

Итог<std::string> Парсер::ожидать_идентификатор(std::string_view описание) {
    const Token& токен = текущий_токен().токен;
    if (токен.вид == ВидТокена::Идентификатор)
        return взять_текст();
    return tl::unexpected(
        ошибка(fmt::format(сообщения::ожидалось_имя, описание, токен.в_тексте())));
}

template <class Взять>
auto Парсер::отдать_текст(Взять&& взять) {
    // The caller has looked at the current token, so it is on the list, and
    // it is not the final КонецФайла.
    Token& токен = токены[текущий].токен;
    ++текущий;
    // Outside every speculative read the cursor never comes back to a token
    // it passed, so the text is taken from the list instead of copied; the
    // edits, when recorded, may still need it.
    if (открытых_попыток == 0 && !записывать_правки)
        return взять(std::move(std::get<std::string>(токен.значение)));
    return взять(токен.как_текст());
}

std::string Парсер::взять_текст() {
    return отдать_текст(
        [](auto&& текст) { return std::string(std::forward<decltype(текст)>(текст)); });
}

Итог<ast::Выражение> Парсер::имя_здесь() {
    // The name is moved once, from its token into its node.
    return отдать_текст([](auto&& текст) {
        return итог_узел_на_месте<ast::Выражение::Идентификатор>(
            std::forward<decltype(текст)>(текст));
    });
}

void Парсер::забыть_прочитанное() {
    память_типов.забыть_до(текущий);
    прочтения_в_скобках.erase(прочтения_в_скобках.begin(),
                              прочтения_в_скобках.lower_bound(текущий));
}

void Парсер::освободить_прочитанные() {
    if (!записывать_правки && (открытых_попыток == 0 || перечитываемый()))
        токены.отбросить_до(текущий);
}

ОшибкаПарсера Парсер::ошибка(std::string сообщение) const {
    const auto& токен = текущий_токен();
    return ОшибкаПарсера{std::move(сообщение), токен.строка, токен.столбец};
}

ОшибкаПарсера Парсер::ошибка_глубины() {
    глубина_превышена = true;
    return ошибка(fmt::format(сообщения::слишком_глубокая_вложенность));
}

ОшибкаПарсера Парсер::ошибка_стека() {
    глубина_превышена = true;
    auto итог = ошибка({});
    итог.стек_исчерпан = true;
    return итог;
}

void Парсер::заменить(std::size_t позиция, std::string_view текст) {
    // Asked twice per size suffix of a type: the text is not copied while
    // no edits are kept.
    if (!записывать_правки)
        return;
    записать<Правка::Заменить>(std::string(текст), позиция, false, false, false);
}

void Парсер::заменить_вид(std::size_t позиция, char символ) {
    // Asked twice per index in brackets: nothing is made while no edits are
    // kept.
    if (!записывать_правки)
        return;
    записать<Правка::Заменить>(std::string(1, символ), позиция, false, false, true);
}

void Парсер::записать_бит(std::string_view функция, std::size_t начало,
                          std::initializer_list<std::size_t> операторы, std::size_t конец) {
    if (!записывать_правки)
        return;
    const std::size_t охват = конец - начало;
    записать<Правка::ВставитьПеред>(fmt::format("{}{}", функция, слова::правка_открыть_вид), начало,
                                    охват);
    bool первый = true;
    for (std::size_t позиция : операторы) {
        if (первый)
            записать<Правка::Заменить>(std::string(слова::правка_запятая), позиция, true, true,
                                       false);
        else
            записать<Правка::Удалить>(позиция, true);
        первый = false;
    }
    записать<Правка::ВставитьПосле>(std::string(слова::правка_закрыть), конец, охват);
}

void Парсер::угловые_скобки(std::vector<std::size_t> запятые, std::size_t открытие,
                            std::size_t закрытие, bool объявление) {
    записать<Правка::УгловыеСкобки>(std::move(запятые), открытие, закрытие, объявление);
}

}  // namespace vokra::parser
