// The token set of the language: 82 kinds in a fixed order (the parser tests
// ranges of it), the positioned token the lexer emits and the lexer's error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace vokra {

enum class ВидТокена : std::uint8_t {
    // Literals and names.
    ЦелоеЛит,
    ДробноеЛит,
    ТекстЛит,
    ВерноЛит,
    НеуказаноЛит,
    Идентификатор,
    // Keywords, in the order of their tag values 6 to 48.
    Функция,
    Структура,
    Внешняя,
    Как,
    Контракт,
    Подключить,
    Если,
    Иначе,
    Для,
    Каждого,
    В,
    Пока,
    Вернуть,
    Публично,
    Приватно,
    Результат,
    Успех,
    Ошибка,
    Слабая,
    Неизменно,
    Ссылка,
    Параллельно,
    Детерминировано,
    Канал,
    Это,
    Прервать,
    Продолжить,
    Конец,
    Из,
    Целое,
    Целое8,
    Целое16,
    Целое32,
    Целое64,
    Беззнак8,
    Беззнак16,
    Беззнак32,
    Беззнак64,
    Дробное,
    Дробное32,
    Дробное64,
    Текст,
    Верно,
    // Operators and punctuation, 49 to 80.
    Плюс,
    Минус,
    Звёздочка,
    Слэш,
    Процент,
    Равно,
    РавноРавно,
    НеРавно,
    Меньше,
    Больше,
    МеньшеРавно,
    БольшеРавно,
    И,
    Или,
    Не,
    Вопрос,
    Доллар,
    БитИ,
    БитИли,
    БитИскл,
    БитНе,
    ОткрФигурная,
    ЗакрФигурная,
    ОткрКруглая,
    ЗакрКруглая,
    ОткрКвадратная,
    ЗакрКвадратная,
    Точка,
    Запятая,
    ТочкаЗапятой,
    Двоеточие,
    Стрелка,
    КонецФайла,
};

inline constexpr std::size_t число_видов_токенов = 82;
static_assert(static_cast<std::size_t>(ВидТокена::КонецФайла) + 1 == число_видов_токенов);

// The kind's own name, as in the enumeration ("ЦелоеЛит", "Функция", "Плюс").
std::string_view имя_вида(ВидТокена вид);

// The source spelling of a keyword (6 to 48) or operator (49 to 80); empty
// for the literal kinds and the end marker.
std::string_view написание(ВидТокена вид);

// One token: its kind and, for the five payload kinds, the value.
// ЦелоеЛит holds int64_t, ДробноеЛит double, ТекстЛит and Идентификатор
// std::string, ВерноЛит bool; every other kind holds nothing.
struct Token {
    using Значение = std::variant<std::monostate, std::int64_t, double, std::string, bool>;

    ВидТокена вид = ВидТокена::КонецФайла;
    Значение значение;

    static Token простой(ВидТокена вид) { return Token{вид, {}}; }
    static Token целое(std::int64_t число) { return Token{ВидТокена::ЦелоеЛит, число}; }
    static Token дробное(double число) { return Token{ВидТокена::ДробноеЛит, число}; }
    static Token текст(std::string значение) {
        return Token{ВидТокена::ТекстЛит, std::move(значение)};
    }
    static Token верно(bool значение) { return Token{ВидТокена::ВерноЛит, значение}; }
    static Token идентификатор(std::string имя) {
        return Token{ВидТокена::Идентификатор, std::move(имя)};
    }

    std::int64_t как_целое() const { return std::get<std::int64_t>(значение); }
    double как_дробное() const { return std::get<double>(значение); }
    const std::string& как_текст() const { return std::get<std::string>(значение); }
    bool как_верно() const { return std::get<bool>(значение); }

    // How the token is named inside a message: "число 5", "имя «x»", «+».
    std::string в_тексте() const;

    // Debugging form: the kind's name, then the payload in parentheses.
    std::string отладка() const;

    bool operator==(const Token&) const = default;
};

// Positions take 32 bits each: a text long enough to need more could not
// be held with its tokens in memory, and a check makes a token per few
// bytes of text, so their size is most of its memory.
struct ТокенСПозицией {
    Token токен;
    std::uint32_t строка = 1;
    std::uint32_t столбец = 1;
    std::uint32_t индекс_начала = 0;
    std::uint32_t индекс_конца = 0;

    bool operator==(const ТокенСПозицией&) const = default;
};

struct ОшибкаЛексера {
    std::string сообщение;
    std::size_t строка = 1;
    std::size_t столбец = 1;

    bool operator==(const ОшибкаЛексера&) const = default;
};

}  // namespace vokra
