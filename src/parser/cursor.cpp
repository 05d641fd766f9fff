#include <fmt/format.h>

#include "parser/internal.hpp"
#include "parser/messages.hpp"
#include "parser/words.hpp"

namespace vokra::parser {

Парсер Парсер::новый(СписокТокенов токены) {
    Парсер п;
    п.токены = std::move(токены);
    return п;
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

bool Парсер::совпадает(const Token& образец) {
    if (!проверить(образец))
        return false;
    продвинуться();
    return true;
}

bool Парсер::совпадает(ВидТокена вид) {
    if (!проверить(вид))
        return false;
    продвинуться();
    return true;
}

const Token& Парсер::продвинуться() {
    const Token& токен = текущий_токен().токен;
    if (токен.вид != ВидТокена::КонецФайла)
        ++текущий;
    return токен;
}

const ТокенСПозицией& Парсер::заглянуть_вперёд() const {
    return токен_после(1);
}

const ТокенСПозицией& Парсер::токен_после(std::size_t смещение) const {
    const std::size_t индекс = текущий + смещение;
    return индекс < токены.size() ? токены[индекс] : токены.back();
}

Итог<void> Парсер::ожидать(const Token& образец, std::string_view описание) {
    if (совпадает(образец))
        return {};
    return tl::unexpected(ошибка(fmt::format(сообщения::ожидалось, описание, образец.в_тексте(),
                                             текущий_токен().токен.в_тексте())));
}

Итог<void> Парсер::ожидать(ВидТокена вид, std::string_view описание) {
    if (совпадает(вид))
        return {};
    return ожидать(Token::простой(вид), описание);
}

Итог<std::string> Парсер::ожидать_идентификатор(std::string_view описание) {
    const Token& токен = текущий_токен().токен;
    if (токен.вид == ВидТокена::Идентификатор)
        return взять_текст();
    return tl::unexpected(
        ошибка(fmt::format(сообщения::ожидалось_имя, описание, токен.в_тексте())));
}

std::string Парсер::взять_текст() {
    Token& токен = токены[текущий].токен;
    продвинуться();
    // Outside every speculative read the cursor never comes back to a token
    // it passed, so the text is taken from the list instead of copied; the
    // edits, when recorded, may still need it.
    if (открытых_попыток == 0 && !записывать_правки)
        return std::move(std::get<std::string>(токен.значение));
    return токен.как_текст();
}

void Парсер::отбросить_прочитанные() {
    if (открытых_попыток == 0 && !записывать_правки)
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

void Парсер::заменить(std::size_t позиция, std::string_view текст) {
    записать<Правка::Заменить>(std::string(текст), позиция, false, false, false);
}

void Парсер::заменить_вид(std::size_t позиция, char символ) {
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
