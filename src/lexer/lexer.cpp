#include "lexer/lexer.hpp"

#include <fmt/format.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include "lexer/messages.hpp"
#include "unicode/unicode.hpp"

namespace vokra {

namespace {

using Итог = tl::expected<Token, ОшибкаЛексера>;

bool цифра(char32_t с) {
    return с >= U'0' && с <= U'9';
}

// Words with a meaning of their own: the 43 keywords, the truth literals,
// неуказано and the word forms of five operators. Every word of the text is
// looked up, so the table is open-addressed with few of its slots taken: most
// names meet an empty slot or a word of another length at the first probe.
// The hash is cheap: the length and two bytes tell the special words apart
// well enough.
struct ОсобоеСлово {
    std::string_view слово;
    ВидТокена вид = ВидТокена::Идентификатор;
    bool верно = false;
};

struct ОсобыеСлова {
    static constexpr std::size_t мест = 256;
    std::array<ОсобоеСлово, мест> места{};

    static std::size_t хеш(std::string_view слово) {
        return (слово.size() * 1031 + static_cast<unsigned char>(слово[слово.size() / 2]) * 31 +
                static_cast<unsigned char>(слово.back())) %
               мест;
    }

    void добавить(std::string_view слово, ВидТокена вид, bool верно = false) {
        std::size_t место = хеш(слово);
        while (!места[место].слово.empty())
            место = (место + 1) % мест;
        места[место] = {слово, вид, верно};
    }

    const ОсобоеСлово* найти(std::string_view слово) const {
        for (std::size_t место = хеш(слово);; место = (место + 1) % мест) {
            const ОсобоеСлово& занятое = места[место];
            if (занятое.слово.empty())
                return nullptr;
            if (занятое.слово == слово)
                return &занятое;
        }
    }
};

const ОсобыеСлова& особые_слова() {
    static const auto таблица = [] {
        ОсобыеСлова слова;
        for (auto вид = static_cast<std::size_t>(ВидТокена::Функция);
             вид <= static_cast<std::size_t>(ВидТокена::Верно); ++вид) {
            const auto в = static_cast<ВидТокена>(вид);
            слова.добавить(написание(в), в);
        }
        слова.добавить("да", ВидТокена::ВерноЛит, true);
        слова.добавить("нет", ВидТокена::ВерноЛит, false);
        слова.добавить("неуказано", ВидТокена::НеуказаноЛит);
        слова.добавить("и", ВидТокена::И);
        слова.добавить("или", ВидТокена::Или);
        слова.добавить("не", ВидТокена::Не);
        слова.добавить("меньше", ВидТокена::Меньше);
        слова.добавить("больше", ВидТокена::Больше);
        return слова;
    }();
    return таблица;
}

// For an ASCII byte, whether it is a word character; for the first byte of
// a two-byte sequence, whether every character it starts is one.
using БайтыСлова = std::array<bool, 256>;

const БайтыСлова& байты_слова_текста() {
    static const БайтыСлова байты = [] {
        const auto& символ_слова = unicode::символы_слова_плоскости();
        БайтыСлова б{};
        for (char32_t с = 0; с < 0x80; ++с)
            б[с] = символ_слова(с);
        for (unsigned первый = 0xC2; первый <= 0xDF; ++первый) {
            bool все = true;
            for (unsigned второй = 0x80; второй <= 0xBF; ++второй)
                все = все && символ_слова(((первый & 0x1F) << 6) | (второй & 0x3F));
            б[первый] = все;
        }
        return б;
    }();
    return байты;
}

// Whether two characters of U+0400 … U+047F start at `байт`: most words of
// a text are Cyrillic, and are read two letters at a time.
bool две_кириллицы(std::string_view текст, std::size_t байт) {
    if constexpr (std::endian::native == std::endian::little) {
        if (байт + 4 > текст.size())
            return false;
        std::uint32_t четыре;
        std::memcpy(&четыре, текст.data() + байт, 4);
        // First bytes 0xD0 or 0xD1, each followed by a continuation byte.
        return (четыре & 0xC0FEC0FE) == 0x80D080D0;
    } else {
        return false;
    }
}

// Fractional numbers are read in the C locale whatever the process's locale:
// the decimal separator is always a point.
double прочитать_дробное(const std::string& цифры) {
    static const locale_t си = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(цифры.c_str(), nullptr, си);
}

// A position as a token holds it; past 2^32 − 1, which no text held in
// memory with its tokens reaches, it stays at the largest value.
std::uint32_t позиция(std::size_t значение) {
    return static_cast<std::uint32_t>(
        std::min<std::size_t>(значение, std::numeric_limits<std::uint32_t>::max()));
}

// What an ASCII character starts as punctuation: its kind alone (КонецФайла
// when it is none) and, for those that have one, the character that
// completes a two-character form, with that form's kind.
struct ЗнакПунктуации {
    ВидТокена одиночный = ВидТокена::КонецФайла;
    char второй = '\0';
    ВидТокена двойной = ВидТокена::КонецФайла;
};

constexpr auto знаки_пунктуации = [] {
    // Filled explicitly: with optimisation, g++ 12 leaves the member
    // defaults out of the constant value of `std::array<ЗнакПунктуации, N>{}`.
    std::array<ЗнакПунктуации, 0x80> знаки;
    знаки.fill(ЗнакПунктуации{});
    const std::pair<char, ВидТокена> одиночные[] = {
        {'$', ВидТокена::Доллар},         {'%', ВидТокена::Процент},
        {'(', ВидТокена::ОткрКруглая},    {')', ВидТокена::ЗакрКруглая},
        {'*', ВидТокена::Звёздочка},      {'+', ВидТокена::Плюс},
        {',', ВидТокена::Запятая},        {'.', ВидТокена::Точка},
        {'/', ВидТокена::Слэш},           {':', ВидТокена::Двоеточие},
        {';', ВидТокена::ТочкаЗапятой},   {'?', ВидТокена::Вопрос},
        {'[', ВидТокена::ОткрКвадратная}, {']', ВидТокена::ЗакрКвадратная},
        {'^', ВидТокена::БитИскл},        {'{', ВидТокена::ОткрФигурная},
        {'}', ВидТокена::ЗакрФигурная},   {'~', ВидТокена::БитНе},
    };
    for (const auto& [знак, вид] : одиночные)
        знаки[static_cast<unsigned char>(знак)].одиночный = вид;
    const ЗнакПунктуации парные[] = {
        {ВидТокена::Не, '=', ВидТокена::НеРавно},
        {ВидТокена::БитИ, '&', ВидТокена::И},
        {ВидТокена::БитИли, '|', ВидТокена::Или},
        {ВидТокена::Минус, '>', ВидТокена::Стрелка},
        {ВидТокена::Меньше, '=', ВидТокена::МеньшеРавно},
        {ВидТокена::Равно, '=', ВидТокена::РавноРавно},
        {ВидТокена::Больше, '=', ВидТокена::БольшеРавно},
    };
    const char первые[] = {'!', '&', '|', '-', '<', '=', '>'};
    for (std::size_t i = 0; i < std::size(первые); ++i)
        знаки[static_cast<unsigned char>(первые[i])] = парные[i];
    return знаки;
}();

// What an ASCII character can start, told by one lookup: most tokens start
// with one, and the lexer dispatches on it before any decoding or property
// lookup. Прочее is what the character-by-character paths decide (a
// non-ASCII character, a quote, a character that starts no token).
enum class НачалоASCII : std::uint8_t { Прочее, Слово, Цифра, Знак };

struct СвойстваASCII {
    НачалоASCII начало = НачалоASCII::Прочее;
    // Whether white space or a comment may start here: the ASCII white space,
    // '/' and every control character (the end's 0 among them), left to the
    // loop that tells them apart.
    bool пробел_или_комментарий = false;
};

constexpr auto свойства_ascii = [] {
    std::array<СвойстваASCII, 0x80> свойства;
    свойства.fill(СвойстваASCII{});
    for (std::size_t с = 0; с < 0x80; ++с) {
        if (с == '_' || ((с | 0x20) >= 'a' && (с | 0x20) <= 'z'))
            свойства[с].начало = НачалоASCII::Слово;
        else if (с >= '0' && с <= '9')
            свойства[с].начало = НачалоASCII::Цифра;
        else if (знаки_пунктуации[с].одиночный != ВидТокена::КонецФайла)
            свойства[с].начало = НачалоASCII::Знак;
        свойства[с].пробел_или_комментарий = с <= ' ' || с == '/';
    }
    return свойства;
}();

// For every byte, whether it is punctuation that starts no comment (all but
// '/').
constexpr auto знаки_без_комментария = [] {
    std::array<bool, 256> знаки{};
    for (std::size_t с = 0; с < 0x80; ++с)
        знаки[с] = свойства_ascii[с].начало == НачалоASCII::Знак && с != '/';
    return знаки;
}();

// For every byte, whether it starts a token of a run: punctuation that
// starts no comment (all but '/') or a digit. Such tokens, one byte or a
// few each and often written without white space between them, are read in
// runs.
constexpr auto в_серии = [] {
    std::array<bool, 256> байты{};
    for (std::size_t с = 0; с < 0x80; ++с)
        байты[с] = (свойства_ascii[с].начало == НачалоASCII::Знак && с != '/') ||
                   свойства_ascii[с].начало == НачалоASCII::Цифра;
    return байты;
}();

// The UTF-8 form of U+FFFD, written for every byte that is not well-formed.
constexpr std::string_view заменяющий_utf8 = "\xEF\xBF\xBD";

// What токен() read: no token (an error), a token, or a token that a run's
// token follows at once.
enum class Прочитан : std::uint8_t { Нет, Токен, СерияСледом };

struct Разбор {
    Лексер& л;
    const unicode::СимволыСловаПлоскости& символ_слова = unicode::символы_слова_плоскости();
    const ОсобыеСлова& особые = особые_слова();
    const БайтыСлова& байты_слова = байты_слова_текста();
    // Whether every character that 0xD0 and 0xD1 start is one of a word.
    const bool кириллица_словом = байты_слова[0xD0] && байты_слова[0xD1];
    // Why токен() read no token.
    std::optional<ОшибкаЛексера> ошибка_токена = std::nullopt;

    bool в_конце() const { return л.длина == 0; }
    char32_t текущий() const { return л.символ; }
    bool есть_следующий() const { return л.байт + л.длина < л.текст.size(); }
    char32_t следующий() const {
        return есть_следующий() ? unicode::прочитать_символ(л.текст, л.байт + л.длина).символ
                                : U'\0';
    }

    void прочитать_текущий() {
        if (л.байт >= л.текст.size()) {
            л.символ = 0;
            л.длина = 0;
            return;
        }
        const auto прочитанный = unicode::прочитать_символ(л.текст, л.байт);
        л.символ = прочитанный.символ;
        л.длина = прочитанный.байтов;
    }

    // прочитать_текущий after punctuation, where the next character is most
    // often ASCII too.
    void прочитать_следующий_ascii() {
        if (л.байт < л.текст.size() && static_cast<unsigned char>(л.текст[л.байт]) < 0x80) {
            л.символ = static_cast<unsigned char>(л.текст[л.байт]);
            л.длина = 1;
        } else {
            прочитать_текущий();
        }
    }

    // Moves past one character, keeping line and column in step.
    void шаг() {
        if (л.символ == U'\n') {
            ++л.строка;
            л.столбец = 1;
        } else {
            ++л.столбец;
        }
        ++л.индекс;
        л.байт += л.длина;
        прочитать_текущий();
    }

    // Moves the cursor to `байт`, past `символов` characters of one line.
    void перейти_в_строке(std::size_t байт, std::size_t символов) {
        л.байт = байт;
        л.индекс += символов;
        л.столбец += символов;
    }

    // Moves past the characters of one line for which `подходит` holds (it
    // never holds for a line feed), with the cursor kept in locals; the
    // character that stops it is the current one, decoded once.
    template <class Условие>
    void пропустить_в_строке(const Условие& подходит) {
        std::size_t байт = л.байт;
        std::size_t символов = 0;
        const std::string_view текст = л.текст;
        while (байт < текст.size()) {
            const auto прочитанный = unicode::прочитать_символ(текст, байт);
            if (!подходит(прочитанный.символ)) {
                перейти_в_строке(байт, символов);
                л.символ = прочитанный.символ;
                л.длина = прочитанный.байтов;
                return;
            }
            байт += прочитанный.байтов;
            ++символов;
        }
        перейти_в_строке(байт, символов);
        л.символ = 0;
        л.длина = 0;
    }

    // Moves past the word characters from the current one. ASCII and the
    // two-byte sequences whose every character is one of a word (Cyrillic
    // among them) are told by their bytes; the rest is decoded.
    void пропустить_слово() {
        const std::string_view текст = л.текст;
        std::size_t байт = л.байт;
        std::size_t символов = 0;
        // A name that starts in ASCII is read in a loop of its own: when an
        // ASCII character ends it, as most, it is past with that one read.
        const auto байт_в = [&](std::size_t i) { return static_cast<unsigned char>(текст[i]); };
        if (байт_в(байт) < 0x80) {
            while (байт < текст.size() && байт_в(байт) < 0x80 && байты_слова[байт_в(байт)]) {
                ++байт;
                ++символов;
            }
            if (байт == текст.size() || байт_в(байт) < 0x80) {
                перейти_в_строке(байт, символов);
                прочитать_следующий_ascii();
                return;
            }
        }
        while (байт < текст.size()) {
            if (кириллица_словом && две_кириллицы(текст, байт)) {
                байт += 4;
                символов += 2;
                continue;
            }
            const auto первый = static_cast<unsigned char>(текст[байт]);
            if (первый < 0x80) {
                if (!байты_слова[первый])
                    break;
                ++байт;
            } else if (байты_слова[первый] && байт + 1 < текст.size() &&
                       (static_cast<unsigned char>(текст[байт + 1]) & 0xC0) == 0x80) {
                байт += 2;
            } else {
                const auto прочитанный = unicode::прочитать_символ(текст, байт);
                if (!символ_слова(прочитанный.символ))
                    break;
                байт += прочитанный.байтов;
            }
            ++символов;
        }
        перейти_в_строке(байт, символов);
        прочитать_текущий();
    }

    // Moves past a run of ASCII white space, a byte each, line feeds included.
    void пропустить_пробелы_ascii() {
        const std::string_view текст = л.текст;
        std::size_t байт = л.байт;
        std::size_t строка = л.строка;
        std::size_t столбец = л.столбец;
        const std::size_t начало = байт;
        for (; байт < текст.size(); ++байт) {
            const char знак = текст[байт];
            if (знак == '\n') {
                ++строка;
                столбец = 1;
            } else if (знак == ' ' || знак == '\t' || знак == '\r' || знак == '\v' ||
                       знак == '\f') {
                ++столбец;
            } else {
                break;
            }
        }
        л.индекс += байт - начало;
        л.байт = байт;
        л.строка = строка;
        л.столбец = столбец;
        прочитать_текущий();
    }

    // Appends the current character as the text holds it, or U+FFFD where
    // its bytes are not well-formed.
    void дописать_текущий(std::string& куда) const {
        if (л.символ == unicode::заменяющий_символ)
            куда += заменяющий_utf8;
        else
            куда.append(л.текст.substr(л.байт, л.длина));
    }

    // Appends the run of a text's characters from the current one up to a
    // quote, a backslash or U+FFFD (which may stand for a malformed byte), as
    // their bytes, and moves past it.
    void дописать_обычные(std::string& куда) {
        const std::string_view текст = л.текст;
        const std::size_t начало = л.байт;
        std::size_t байт = начало;
        std::size_t символов = 0;
        std::size_t строка = л.строка;
        std::size_t столбец = л.столбец;
        char32_t символ = 0;
        std::size_t длина = 0;
        while (байт < текст.size()) {
            const auto прочитанный = unicode::прочитать_символ(текст, байт);
            символ = прочитанный.символ;
            длина = прочитанный.байтов;
            if (символ == U'"' || символ == U'\\' || символ == unicode::заменяющий_символ)
                break;
            if (символ == U'\n') {
                ++строка;
                столбец = 1;
            } else {
                ++столбец;
            }
            ++символов;
            байт += длина;
            длина = 0;
        }
        куда.append(текст.substr(начало, байт - начало));
        л.байт = байт;
        л.индекс += символов;
        л.строка = строка;
        л.столбец = столбец;
        л.символ = длина == 0 ? 0 : символ;
        л.длина = длина;
    }

    ОшибкаЛексера ошибка(std::string сообщение, std::size_t строка, std::size_t столбец) const {
        return ОшибкаЛексера{std::move(сообщение), строка, столбец};
    }

    // Most tokens follow another at once or after spaces: a character that
    // can start neither white space nor a comment is told apart here, and
    // the rest is left to the loop out of line.
    void пропустить_пробелы_и_комментарии() {
        const char32_t с = текущий();
        // No white space lies between U+00A0 and U+1680 (Cyrillic is there).
        if (с < 0x80 ? !свойства_ascii[с].пробел_или_комментарий
                     : (с < 0x85 || (с > 0xA0 && с < 0x1680)))
            return;
        // One space between two tokens, the second starting with ASCII or
        // with a two-byte character past U+00BF (Cyrillic among them), none
        // of which is white space.
        if (с == U' ' && л.байт + 1 < л.текст.size()) {
            const auto после = static_cast<unsigned char>(л.текст[л.байт + 1]);
            if (после > ' ' && после != '/' && после < 0x80) {
                ++л.байт;
                ++л.индекс;
                ++л.столбец;
                л.символ = после;
                return;
            }
            if (после >= 0xC3 && после <= 0xDF && л.байт + 2 < л.текст.size()) {
                const auto второй = static_cast<unsigned char>(л.текст[л.байт + 2]);
                if ((второй & 0xC0) == 0x80) {
                    ++л.байт;
                    ++л.индекс;
                    ++л.столбец;
                    л.символ = static_cast<char32_t>(((после & 0x1F) << 6) | (второй & 0x3F));
                    л.длина = 2;
                    return;
                }
            }
        }
        пропустить_пробелы_и_комментарии_дальше();
    }

    // Past ASCII, white space starts at U+0085; letters of most scripts
    // (Cyrillic among them) are told apart before any lookup.
    [[gnu::noinline]] void пропустить_пробелы_и_комментарии_дальше() {
        while (!в_конце()) {
            const char32_t с = текущий();
            if (с == U' ' || с == U'\t' || с == U'\n' || с == U'\r' || с == U'\v' || с == U'\f') {
                пропустить_пробелы_ascii();
            } else if ((с == 0x85 || с == 0xA0 || с >= 0x1680) && unicode::пробельный(с)) {
                шаг();
            } else if (с == U'/' && есть_следующий() && следующий() == U'/') {
                пропустить_в_строке([](char32_t з) { return з != U'\n'; });
            } else if (с == U'/' && есть_следующий() && следующий() == U'*') {
                шаг();
                шаг();
                // An unclosed block comment silently ends the text.
                while (!в_конце() &&
                       !(текущий() == U'*' && есть_следующий() && следующий() == U'/'))
                    шаг();
                if (!в_конце()) {
                    шаг();
                    шаг();
                }
            } else {
                return;
            }
        }
    }

    // An integer of up to eighteen ASCII digits read straight from the bytes
    // at `начало`, and the byte past it; nothing when a point follows the
    // digits or there are more: число() then reads the number and words its
    // error.
    struct КороткоеЦелое {
        std::int64_t значение;
        std::size_t конец;
    };
    static std::optional<КороткоеЦелое> короткое_целое(std::string_view текст, std::size_t начало) {
        std::size_t байт = начало;
        while (байт < текст.size() && текст[байт] >= '0' && текст[байт] <= '9')
            ++байт;
        // Eighteen digits always fit in 64 bits; a longer number is left to
        // число(), which tells whether it fits.
        if ((байт < текст.size() && текст[байт] == '.') || байт - начало > 18)
            return std::nullopt;
        std::int64_t значение = 0;
        for (std::size_t i = начало; i < байт; ++i)
            значение = значение * 10 + (текст[i] - '0');
        return КороткоеЦелое{значение, байт};
    }

    // Reads a short integer into `куда`, as число() would read it; false,
    // with nothing read, when it is not one.
    bool целое_подряд(Token& куда) {
        const auto целое = короткое_целое(л.текст, л.байт);
        if (!целое)
            return false;
        перейти_в_строке(целое->конец, целое->конец - л.байт);
        прочитать_текущий();
        куда.вид = ВидТокена::ЦелоеЛит;
        куда.значение.emplace<std::int64_t>(целое->значение);
        return true;
    }

    // Whether a run's token starts at the current byte.
    bool серия_следом() const {
        return л.байт < л.текст.size() && в_серии[static_cast<unsigned char>(л.текст[л.байт])];
    }

    [[gnu::noinline]] Итог число() {
        std::string цифры;
        bool с_точкой = false;
        while (!в_конце()) {
            const char32_t с = текущий();
            if (цифра(с)) {
                цифры.push_back(static_cast<char>(с));
            } else if (с == U'.' && !с_точкой && есть_следующий() && цифра(следующий())) {
                с_точкой = true;
                цифры.push_back('.');
            } else {
                break;
            }
            шаг();
        }
        if (с_точкой)
            return Token::дробное(прочитать_дробное(цифры));
        std::int64_t значение = 0;
        const auto [конец, код] =
            std::from_chars(цифры.data(), цифры.data() + цифры.size(), значение);
        if (код != std::errc{} || конец != цифры.data() + цифры.size())
            return tl::unexpected(
                ошибка(fmt::format(сообщения_лексера::неверное_целое, цифры), л.строка, л.столбец));
        return Token::целое(значение);
    }

    [[gnu::noinline]] Итог текст() {
        const std::size_t строка = л.строка;
        const std::size_t столбец = л.столбец;
        шаг();
        std::string значение;
        while (true) {
            if (в_конце())
                return tl::unexpected(
                    ошибка(fmt::format(сообщения_лексера::незакрытый_текст), строка, столбец));
            const char32_t с = текущий();
            if (с == U'"') {
                шаг();
                return Token::текст(std::move(значение));
            }
            if (с == unicode::заменяющий_символ) {
                дописать_текущий(значение);
                шаг();
                continue;
            }
            if (с != U'\\') {
                дописать_обычные(значение);
                continue;
            }
            if (!есть_следующий())
                return tl::unexpected(
                    ошибка(fmt::format(сообщения_лексера::обрыв_после_косой), строка, столбец));
            шаг();
            const char32_t экранированный = текущий();
            switch (экранированный) {
                case U'"':
                    значение += '"';
                    break;
                case U'$':
                    значение += '$';
                    break;
                case U'\\':
                    значение += '\\';
                    break;
                case U'n':
                    значение += '\n';
                    break;
                case U'r':
                    значение += '\r';
                    break;
                case U't':
                    значение += '\t';
                    break;
                default:
                    значение += '\\';
                    дописать_текущий(значение);
            }
            шаг();
        }
    }

    void слово(Token& куда) {
        // Word characters are well-formed, so the word is its bytes.
        const std::size_t начало = л.байт;
        пропустить_слово();
        const std::string_view слово = л.текст.substr(начало, л.байт - начало);
        // `куда` is freshly made: only the truth literals carry a value.
        if (const ОсобоеСлово* особое = особые.найти(слово)) {
            куда.вид = особое->вид;
            if (особое->вид == ВидТокена::ВерноЛит)
                куда.значение.emplace<bool>(особое->верно);
            return;
        }
        куда.вид = ВидТокена::Идентификатор;
        // Made empty in place, then filled: emplace with the bytes would
        // build the name in a temporary variant and move it over. Appended,
        // not assigned: an empty string's append is the short path.
        куда.значение.emplace<std::string>().append(слово);
    }

    // A punctuation character, with its two-character form when the next
    // character completes one. All of them are ASCII, so both are told by
    // their bytes and the cursor moves past them without decoding. True when
    // a run's token follows at once.
    bool знак(Token& куда) {
        const auto [вид, длина] = знак_в(л.текст, л.байт);
        перейти_в_строке(л.байт + длина, длина);
        прочитать_следующий_ascii();
        куда.вид = вид;
        return серия_следом();
    }

    // The punctuation token whose ASCII character is at `байт` and the bytes
    // it takes.
    static std::pair<ВидТокена, std::size_t> знак_в(std::string_view текст, std::size_t байт) {
        const ЗнакПунктуации& знак = знаки_пунктуации[static_cast<unsigned char>(текст[байт])];
        if (знак.второй != '\0' && байт + 1 < текст.size() && текст[байт + 1] == знак.второй)
            return {знак.двойной, 2};
        return {знак.одиночный, 1};
    }

    // Reads the tokens of a run (punctuation but '/', which may start a
    // comment, and short integers) that follow one another at once from the
    // current character, the densest text there is, into the room of the
    // list's last chunk, at most `не_больше`, with the cursor kept in locals;
    // returns how many. The positions of every token must fit in 32 bits.
    std::size_t серия(СписокТокенов& токены, std::size_t не_больше) {
        const std::string_view текст = л.текст;
        const std::size_t начало = л.байт;
        // Every token takes a byte at least, so no more than `не_больше` of
        // them start before this byte.
        const std::size_t граница =
            начало + std::min(текст.size() - начало, std::min(не_больше, токены.места_в_куске()));
        const auto строка = static_cast<std::uint32_t>(л.строка);
        const auto столбец_начала = static_cast<std::uint32_t>(л.столбец);
        const auto индекс_начала = static_cast<std::uint32_t>(л.индекс);
        std::size_t байт = начало;
        std::size_t прочитано = 0;
        const auto добавить = [&](const Token& т, std::size_t длина) {
            const auto сдвиг = static_cast<std::uint32_t>(байт - начало);
            токены.добавить_в_кусок({т, строка, столбец_начала + сдвиг, индекс_начала + сдвиг,
                                     индекс_начала + сдвиг + static_cast<std::uint32_t>(длина)});
            байт += длина;
            ++прочитано;
        };
        while (байт < граница) {
            // Punctuation, the most of a run, in a loop of its own.
            while (байт < граница &&
                   знаки_без_комментария[static_cast<unsigned char>(текст[байт])]) {
                const auto [вид, длина] = знак_в(текст, байт);
                добавить(Token::простой(вид), длина);
            }
            if (байт >= граница || !цифра(static_cast<unsigned char>(текст[байт])))
                break;
            const auto целое = короткое_целое(текст, байт);
            if (!целое)
                break;
            добавить(Token::целое(целое->значение), целое->конец - байт);
        }
        if (прочитано == 0)
            return 0;
        перейти_в_строке(байт, байт - начало);
        прочитать_следующий_ascii();
        return прочитано;
    }

    // Reads one token into `куда`, a token of the list built in place; Нет
    // when the text holds no token there, the error then kept in `ошибка_токена`.
    // Names and punctuation are read here; numbers, texts and errors out of
    // line, so that this stays small on the path most tokens take.
    Прочитан
    токен(Token& куда) {
        const char32_t с = текущий();
        if (с < 0x80) {
            switch (свойства_ascii[с].начало) {
                case НачалоASCII::Знак:
                    return знак(куда) ? Прочитан::СерияСледом : Прочитан::Токен;
                case НачалоASCII::Слово:
                    слово(куда);
                    return Прочитан::Токен;
                case НачалоASCII::Цифра:
                    if (целое_подряд(куда))
                        return серия_следом() ? Прочитан::СерияСледом : Прочитан::Токен;
                    break;
                case НачалоASCII::Прочее:
                    break;
            }
        } else if (с < 0x10000 ? символ_слова.буквы[с] : unicode::буквенный(с)) {
            слово(куда);
            return Прочитан::Токен;
        }
        return литерал_или_ошибка(куда) ? Прочитан::Токен : Прочитан::Нет;
    }

    // A number that is not a short integer, a text, or the error of a
    // character that starts no token.
    [[gnu::noinline]] bool литерал_или_ошибка(Token& куда) {
        const char32_t с = текущий();
        if (цифра(с) || с == U'"') {
            auto прочитанный = цифра(с) ? число() : текст();
            if (!прочитанный) {
                ошибка_токена = std::move(прочитанный.error());
                return false;
            }
            куда = std::move(*прочитанный);
            return true;
        }
        std::string символ;
        unicode::дописать(символ, с);
        ошибка_токена =
            ошибка(fmt::format(сообщения_лексера::неожиданный_символ, символ), л.строка, л.столбец);
        return false;
    }
};

}  // namespace

Лексер Лексер::новый(std::string_view текст) {
    Лексер л{текст};
    Разбор{л}.прочитать_текущий();
    return л;
}

tl::expected<void, ОшибкаЛексера> Лексер::дописать(СписокТокенов& токены, std::size_t не_больше) {
    Разбор разбор{*this};
    // Line, column and index never pass the text's length plus one, so in
    // a text shorter than 2^32 − 1 bytes they fit without being bounded.
    const bool позиции_влезают = текст.size() < std::numeric_limits<std::uint32_t>::max() - 1;
    while (не_больше > 0) {
        разбор.пропустить_пробелы_и_комментарии();
        --не_больше;
        auto& место = токены.emplace_back();
        if (позиции_влезают) [[likely]] {
            место.строка = static_cast<std::uint32_t>(строка);
            место.столбец = static_cast<std::uint32_t>(столбец);
            место.индекс_начала = static_cast<std::uint32_t>(индекс);
        } else {
            место.строка = позиция(строка);
            место.столбец = позиция(столбец);
            место.индекс_начала = позиция(индекс);
        }
        if (разбор.в_конце()) {
            место.токен = Token::простой(ВидТокена::КонецФайла);
            место.индекс_конца = позиция(индекс);
            return {};
        }
        const Прочитан прочитан = разбор.токен(место.токен);
        if (прочитан == Прочитан::Нет) [[unlikely]] {
            место.токен = Token::простой(ВидТокена::КонецФайла);
            место.индекс_конца = место.индекс_начала;
            return tl::unexpected(std::move(*разбор.ошибка_токена));
        }
        место.индекс_конца = позиция(индекс);
        // Tokens of a run right after one, as in a dense expression, are
        // read at once.
        if (прочитан == Прочитан::СерияСледом && позиции_влезают)
            не_больше -= разбор.серия(токены, не_больше);
    }
    return {};
}

tl::expected<СписокТокенов, ОшибкаЛексера> Лексер::токенизировать() {
    СписокТокенов токены;
    // Most tokens, with the space after them, take two bytes or more; the
    // chunk still grows past this when a text needs more.
    токены.зарезервировать(текст.size() / 2 + 1);
    if (auto итог = дописать(токены, std::numeric_limits<std::size_t>::max()); !итог)
        return tl::unexpected(std::move(итог.error()));
    return токены;
}

}  // namespace vokra
