#include "lexer/lexer.hpp"

#include <fmt/format.h>
#include <locale.h>

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <optional>
#include <unordered_map>

#include "lexer/messages.hpp"
#include "unicode/unicode.hpp"

namespace vokra {

namespace {

using Итог = tl::expected<Token, ОшибкаЛексера>;

bool цифра(char32_t с) {
    return с >= U'0' && с <= U'9';
}

// Words with a meaning of their own: the 43 keywords, the truth literals,
// неуказано and the word forms of five operators.
const std::unordered_map<std::string_view, Token>& особые_слова() {
    static const auto таблица = [] {
        std::unordered_map<std::string_view, Token> слова;
        for (auto вид = static_cast<std::size_t>(ВидТокена::Функция);
             вид <= static_cast<std::size_t>(ВидТокена::Верно); ++вид) {
            const auto в = static_cast<ВидТокена>(вид);
            слова.emplace(написание(в), Token::простой(в));
        }
        слова.emplace("да", Token::верно(true));
        слова.emplace("нет", Token::верно(false));
        слова.emplace("неуказано", Token::простой(ВидТокена::НеуказаноЛит));
        слова.emplace("и", Token::простой(ВидТокена::И));
        слова.emplace("или", Token::простой(ВидТокена::Или));
        слова.emplace("не", Token::простой(ВидТокена::Не));
        слова.emplace("меньше", Token::простой(ВидТокена::Меньше));
        слова.emplace("больше", Token::простой(ВидТокена::Больше));
        return слова;
    }();
    return таблица;
}

// Fractional numbers are read in the C locale whatever the process's locale:
// the decimal separator is always a point.
double прочитать_дробное(const std::string& цифры) {
    static const locale_t си = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(цифры.c_str(), nullptr, си);
}

struct Разбор {
    Лексер& л;

    bool в_конце() const { return л.индекс >= л.символы.size(); }
    char32_t текущий() const { return л.символы[л.индекс]; }
    char32_t следующий() const {
        return л.индекс + 1 < л.символы.size() ? л.символы[л.индекс + 1] : U'\0';
    }
    bool есть_следующий() const { return л.индекс + 1 < л.символы.size(); }

    // Moves past one character, keeping line and column in step.
    void шаг() {
        if (л.символы[л.индекс] == U'\n') {
            ++л.строка;
            л.столбец = 1;
        } else {
            ++л.столбец;
        }
        ++л.индекс;
    }

    ОшибкаЛексера ошибка(std::string сообщение, std::size_t строка, std::size_t столбец) const {
        return ОшибкаЛексера{std::move(сообщение), строка, столбец};
    }

    void пропустить_пробелы_и_комментарии() {
        while (!в_конце()) {
            const char32_t с = текущий();
            if (unicode::пробельный(с)) {
                шаг();
            } else if (с == U'/' && есть_следующий() && следующий() == U'/') {
                while (!в_конце() && текущий() != U'\n')
                    шаг();
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

    Итог число() {
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

    Итог текст() {
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
            if (с != U'\\') {
                unicode::дописать(значение, с);
                шаг();
                continue;
            }
            if (!есть_следующий())
                return tl::unexpected(
                    ошибка(fmt::format(сообщения_лексера::обрыв_после_косой), строка, столбец));
            const char32_t экранированный = следующий();
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
                    unicode::дописать(значение, экранированный);
            }
            шаг();
            шаг();
        }
    }

    Token слово() {
        std::string слово;
        while (!в_конце() && unicode::символ_слова(текущий())) {
            unicode::дописать(слово, текущий());
            шаг();
        }
        const auto& особые = особые_слова();
        if (const auto найдено = особые.find(слово); найдено != особые.end())
            return найдено->second;
        return Token::идентификатор(std::move(слово));
    }

    // A punctuation character, with its two-character form when the next
    // character completes one.
    std::optional<Token> знак() {
        const char32_t с = текущий();
        const char32_t д = есть_следующий() ? следующий() : U'\0';
        auto пара = [&](char32_t второй, ВидТокена двойной, ВидТокена одиночный) {
            if (д == второй) {
                шаг();
                шаг();
                return Token::простой(двойной);
            }
            шаг();
            return Token::простой(одиночный);
        };
        switch (с) {
            case U'!':
                return пара(U'=', ВидТокена::НеРавно, ВидТокена::Не);
            case U'&':
                return пара(U'&', ВидТокена::И, ВидТокена::БитИ);
            case U'|':
                return пара(U'|', ВидТокена::Или, ВидТокена::БитИли);
            case U'-':
                return пара(U'>', ВидТокена::Стрелка, ВидТокена::Минус);
            case U'<':
                return пара(U'=', ВидТокена::МеньшеРавно, ВидТокена::Меньше);
            case U'=':
                return пара(U'=', ВидТокена::РавноРавно, ВидТокена::Равно);
            case U'>':
                return пара(U'=', ВидТокена::БольшеРавно, ВидТокена::Больше);
            default:
                break;
        }
        ВидТокена вид;
        switch (с) {
            case U'$':
                вид = ВидТокена::Доллар;
                break;
            case U'%':
                вид = ВидТокена::Процент;
                break;
            case U'(':
                вид = ВидТокена::ОткрКруглая;
                break;
            case U')':
                вид = ВидТокена::ЗакрКруглая;
                break;
            case U'*':
                вид = ВидТокена::Звёздочка;
                break;
            case U'+':
                вид = ВидТокена::Плюс;
                break;
            case U',':
                вид = ВидТокена::Запятая;
                break;
            case U'.':
                вид = ВидТокена::Точка;
                break;
            case U'/':
                вид = ВидТокена::Слэш;
                break;
            case U':':
                вид = ВидТокена::Двоеточие;
                break;
            case U';':
                вид = ВидТокена::ТочкаЗапятой;
                break;
            case U'?':
                вид = ВидТокена::Вопрос;
                break;
            case U'[':
                вид = ВидТокена::ОткрКвадратная;
                break;
            case U']':
                вид = ВидТокена::ЗакрКвадратная;
                break;
            case U'^':
                вид = ВидТокена::БитИскл;
                break;
            case U'{':
                вид = ВидТокена::ОткрФигурная;
                break;
            case U'}':
                вид = ВидТокена::ЗакрФигурная;
                break;
            case U'~':
                вид = ВидТокена::БитНе;
                break;
            default:
                return std::nullopt;
        }
        шаг();
        return Token::простой(вид);
    }

    Итог токен() {
        const char32_t с = текущий();
        if (цифра(с))
            return число();
        if (с == U'"')
            return текст();
        if (с == U'_' || unicode::буквенный(с))
            return слово();
        if (auto найден = знак())
            return std::move(*найден);
        std::string символ;
        unicode::дописать(символ, с);
        return tl::unexpected(ошибка(fmt::format(сообщения_лексера::неожиданный_символ, символ),
                                     л.строка, л.столбец));
    }
};

}  // namespace

Лексер Лексер::новый(std::string_view текст) {
    return Лексер{unicode::декодировать(текст), 0, 1, 1};
}

tl::expected<std::vector<ТокенСПозицией>, ОшибкаЛексера> Лексер::токенизировать() {
    Разбор разбор{*this};
    std::vector<ТокенСПозицией> токены;
    // Roughly one token per five characters in ordinary code.
    токены.reserve(символы.size() / 5 + 1);
    while (true) {
        разбор.пропустить_пробелы_и_комментарии();
        if (разбор.в_конце()) {
            токены.push_back(ТокенСПозицией{Token::простой(ВидТокена::КонецФайла), строка, столбец,
                                            символы.size(), символы.size()});
            return токены;
        }
        const std::size_t строка_токена = строка;
        const std::size_t столбец_токена = столбец;
        const std::size_t начало = индекс;
        auto токен = разбор.токен();
        if (!токен)
            return tl::unexpected(std::move(токен.error()));
        токены.push_back(
            ТокенСПозицией{std::move(*токен), строка_токена, столбец_токена, начало, индекс});
    }
}

}  // namespace vokra
