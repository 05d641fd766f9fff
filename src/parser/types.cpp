#include <fmt/format.h>

#include <algorithm>
#include <array>

#include "parser/internal.hpp"
#include "parser/messages.hpp"
#include "parser/words.hpp"

namespace vokra::parser {

namespace {

template <std::size_t... Номера>
ast::Тип скаляр_по_номеру(std::size_t номер, std::index_sequence<Номера...>) {
    ast::Тип итог;
    ((номер == Номера ? (итог.вид.template emplace<Номера>(), 0) : 0), ...);
    return итог;
}

// The scalar type of a keyword from `целое` to `верно`: both run in the same
// order.
ast::Тип скалярный_тип(ВидТокена вид) {
    const auto номер = static_cast<std::size_t>(вид) - static_cast<std::size_t>(ВидТокена::Целое);
    return скаляр_по_номеру(номер, std::make_index_sequence<ast::число_скалярных_типов>{});
}

constexpr bool скалярное_слово(ВидТокена вид) {
    return вид >= ВидТокена::Целое && вид <= ВидТокена::Верно;
}

// The scalar named by a case form such as "целых", read only after `из`.
std::optional<ast::Тип> падежная_форма(std::string_view слово) {
    auto среди = [&](const auto& формы) {
        return std::find(формы.begin(), формы.end(), слово) != формы.end();
    };
    if (среди(слова::падежи_целое))
        return тип(ast::Тип::Целое{});
    if (среди(слова::падежи_дробное))
        return тип(ast::Тип::Дробное{});
    if (среди(слова::падежи_текст))
        return тип(ast::Тип::Текст{});
    if (среди(слова::падежи_верно))
        return тип(ast::Тип::Верно{});
    return std::nullopt;
}

// The token kinds a type may be written with: names and scalar words,
// `результат`, `канал`, `из` lists, angle brackets, size suffixes and `?`.
// Asked for every token of a run of them, so it is a table.
constexpr auto знаки_типа = [] {
    std::array<bool, число_видов_токенов> знаки{};
    for (std::size_t вид = 0; вид < число_видов_токенов; ++вид)
        знаки[вид] = скалярное_слово(static_cast<ВидТокена>(вид));
    for (const ВидТокена вид :
         {ВидТокена::Идентификатор, ВидТокена::Результат, ВидТокена::Канал, ВидТокена::Из,
          ВидТокена::И, ВидТокена::Запятая, ВидТокена::Меньше, ВидТокена::Больше,
          ВидТокена::ОткрКруглая, ВидТокена::ЗакрКруглая, ВидТокена::ЦелоеЛит,
          ВидТокена::ОткрКвадратная, ВидТокена::ЗакрКвадратная, ВидТокена::Вопрос})
        знаки[static_cast<std::size_t>(вид)] = true;
    return знаки;
}();

bool знак_типа(ВидТокена вид) {
    return знаки_типа[static_cast<std::size_t>(вид)];
}

}  // namespace

bool Парсер::угловая_закрывается(std::size_t позиция) {
    // Each `>` pairs with the innermost open `<`, as nested types pair them;
    // a token no type holds closes nothing after it, so the pairs lie within
    // runs of type tokens. Whether a `<` is closed depends only on the
    // tokens after it in its run, so the runs are paired one at a time, as
    // far as the one that holds `позиция`, and each token is looked at once.
    // Where no speculative read is open, no `<` before the cursor is asked
    // about again, and the freed tokens there are passed over.
    std::size_t i = открытых_попыток == 0 ? std::max(угловые_проверены_до, токены.первый_хранимый())
                                          : угловые_проверены_до;
    if (позиция >= i) {
        auto& открытые = открытые_угловые;
        // The tokens of a chunk lie in a row: the list is asked again only
        // at a chunk's start and past the tokens lexed so far.
        const ТокенСПозицией* токен = nullptr;
        constexpr std::size_t в_куске = СписокТокенов::в_куске;
        // The `<` closed by the token before, whose next token tells whether
        // a `(` follows its `>`; a `>` is never a run's last token.
        constexpr std::size_t никакая = static_cast<std::size_t>(-1);
        std::size_t только_что_закрытая = никакая;
        for (;; ++i) {
            if (токен == nullptr || i % в_куске == 0 || i >= токены.size())
                токен = &токен_по_индексу(i);
            else
                ++токен;
            // A run may be far longer than the parse needs of it at once: the
            // chunks it passes away from the cursor are lexed again when read.
            if (i % в_куске == 0 && i > 0 && перечитываемый()) {
                const std::size_t пройденный = i / в_куске - 1;
                const std::size_t у_курсора = текущий / в_куске;
                if (пройденный + 1 < у_курсора || пройденный > у_курсора + 1)
                    токены.освободить_кусок(пройденный);
            }
            const ВидТокена вид = токен->токен.вид;
            if (только_что_закрытая != никакая) {
                if (вид == ВидТокена::ОткрКруглая)
                    угловые[только_что_закрытая] |= угловая_перед_скобкой;
                только_что_закрытая = никакая;
            }
            if (вид == ВидТокена::Меньше) {
                открытые.push_back(i);
            } else if (вид == ВидТокена::Больше) {
                if (!открытые.empty()) {
                    // Sized to the tokens lexed so far, the `<` among them.
                    if (угловые.size() <= открытые.back())
                        угловые.resize(токены.size());
                    угловые[открытые.back()] = угловая_закрыта;
                    только_что_закрытая = открытые.back();
                    открытые.pop_back();
                }
            } else if (!знак_типа(вид)) {
                // The final КонецФайла ends the last run as well.
                открытые.clear();
                if (i >= позиция || вид == ВидТокена::КонецФайла)
                    break;
            }
        }
        угловые_проверены_до = i + 1;
    }
    return позиция < угловые.size() && (угловые[позиция] & угловая_закрыта) != 0;
}

bool Парсер::угловая_закрывается_перед_скобкой(std::size_t позиция) {
    return угловая_закрывается(позиция) && (угловые[позиция] & угловая_перед_скобкой) != 0;
}

Итог<ast::Тип> Парсер::разобрать_тип() {
    // Inside a speculative read a type read with every flag clear comes to
    // the same end wherever it is read from the same token.
    if (открытых_попыток == 0 || тип_после_из || в_типе_возврата || типы_из_в_выражении)
        return прочитать_тип();
    const std::size_t начало = текущий;
    if (const auto* прочитанный = память_типов.найти(начало);
        прочитанный && прочитанный->не_удался() && вмещается(*this, прочитанный->открыто))
        return tl::unexpected(ОшибкаПарсера{});
    auto [тип, открыто] = с_глубиной(*this, [&] { return прочитать_тип(); });
    if (тип || !глубина_превышена)
        память_типов.запомнить(начало, тип ? std::optional(текущий) : std::nullopt, открыто);
    return std::move(тип);
}

Итог<ast::Тип> Парсер::прочитать_тип() {
    Вложенность вложенность(*this);
    ПОПЫТКА(вложенность.глубже());

    const bool после_из = тип_после_из;
    тип_после_из = false;
    // The type is built in place and wrapped where it stands: a type written
    // many levels deep is not moved through temporaries at every level.
    ast::Тип итог;
    bool прочитан = false;
    if (после_из && проверить(ВидТокена::Идентификатор)) {
        if (auto форма = падежная_форма(текущий_токен().токен.как_текст())) {
            итог = std::move(*форма);
            прочитан = true;
            продвинуться();
        }
    }

    if (!прочитан) {
        const Token& токен = текущий_токен().токен;
        if (скалярное_слово(токен.вид)) {
            итог = скалярный_тип(продвинуться().вид);
        } else if (токен.вид == ВидТокена::Идентификатор) {
            std::string имя = взять_текст();
            if (проверить(ВидТокена::Меньше)) {
                const std::size_t открытие = текущий;
                продвинуться();
                НаОбщемСписке параметры(аргументы_типов);
                std::vector<std::size_t> запятые;
                ВЗЯТЬ(первый, разобрать_тип());
                параметры.добавить(std::move(первый));
                while (проверить(ВидТокена::Запятая)) {
                    запятые.push_back(текущий);
                    продвинуться();
                    отбросить_прочитанные();
                    ВЗЯТЬ(следующий, разобрать_тип());
                    параметры.добавить(std::move(следующий));
                }
                const std::size_t закрытие = текущий;
                ПОПЫТКА(ожидать(ВидТокена::Больше, описания::конец_типовых_параметров));
                угловые_скобки(std::move(запятые), открытие, закрытие, false);
                итог.вид.emplace<ast::Тип::Обобщённый>(параметры.взять_с(std::move(имя)));
            } else if (совпадает(ВидТокена::Из)) {
                ВЗЯТЬ(параметры, разобрать_список_типов_после_из());
                итог.вид.emplace<ast::Тип::Обобщённый>(std::move(имя), std::move(параметры));
            } else {
                итог.вид.emplace<ast::Тип::Пользовательский>(
                    ast::Тип::Пользовательский{std::move(имя)});
            }
        } else if (токен.вид == ВидТокена::Результат || токен.вид == ВидТокена::Канал) {
            const bool результат = токен.вид == ВидТокена::Результат;
            const std::string_view описание =
                результат ? описания::результат_из_типа : описания::канал_из_типа;
            продвинуться();
            std::optional<ast::Тип> внутренний;
            if (совпадает(ВидТокена::Из)) {
                тип_после_из = true;
                ВЗЯТЬ(после, разобрать_тип());
                внутренний = std::move(после);
            } else {
                const std::size_t открытие = текущий;
                ПОПЫТКА(ожидать(ВидТокена::Меньше, описание));
                ВЗЯТЬ(в_скобках, разобрать_тип());
                внутренний = std::move(в_скобках);
                const std::size_t закрытие = текущий;
                ПОПЫТКА(ожидать(ВидТокена::Больше, описание));
                угловые_скобки({}, открытие, закрытие, false);
            }
            if (результат)
                итог.вид.emplace<ast::Тип::Результат>(ast::Тип::Результат{std::move(*внутренний)});
            else
                итог.вид.emplace<ast::Тип::Канал>(ast::Тип::Канал{std::move(*внутренний)});
        } else {
            return tl::unexpected(ошибка(fmt::format(сообщения::ожидался_тип, токен.в_тексте())));
        }
    }

    // Size suffixes, in the order written.
    std::vector<std::optional<std::int64_t>> размеры;
    while (true) {
        if (проверить(ВидТокена::ОткрКруглая)) {
            if (типы_из_в_выражении)
                break;
            const Token& второй = токен_после(1).токен;
            const Token& третий = токен_после(2).токен;
            if (второй.вид == ВидТокена::ЦелоеЛит && третий.вид == ВидТокена::ЗакрКруглая) {
                размеры.push_back(второй.как_целое());
                текущий += 3;
            } else if (второй.вид == ВидТокена::ЗакрКруглая && !в_типе_возврата &&
                       (третий.вид == ВидТокена::Идентификатор || третий.вид == ВидТокена::Вопрос ||
                        третий.вид == ВидТокена::ОткрКруглая)) {
                размеры.push_back(std::nullopt);
                текущий += 2;
            } else {
                break;
            }
        } else if (проверить(ВидТокена::ОткрКвадратная)) {
            const std::size_t открытие = текущий;
            продвинуться();
            std::optional<std::int64_t> размер;
            if (проверить(ВидТокена::ЦелоеЛит))
                размер = продвинуться().как_целое();
            const std::size_t закрытие = текущий;
            ПОПЫТКА(ожидать(ВидТокена::ЗакрКвадратная, описания::конец_объявления_массива));
            if (размер || !в_типе_возврата) {
                заменить(открытие, слова::правка_открыть);
                заменить(закрытие, слова::правка_закрыть);
            }
            размеры.push_back(размер);
        } else {
            break;
        }
        ПОПЫТКА(вложенность.глубже());
    }

    for (auto размер = размеры.rbegin(); размер != размеры.rend(); ++размер) {
        ast::Коробка<ast::Тип> элемент(std::move(итог));
        итог.вид.emplace<ast::Тип::Массив>(ast::Тип::Массив{std::move(элемент), *размер});
    }
    if (совпадает(ВидТокена::Вопрос)) {
        ПОПЫТКА(вложенность.глубже());
        ast::Коробка<ast::Тип> внутренний(std::move(итог));
        итог.вид.emplace<ast::Тип::Опциональный>(ast::Тип::Опциональный{std::move(внутренний)});
    }
    return итог;
}

Итог<std::vector<ast::Тип>> Парсер::разобрать_список_типов_после_из() {
    std::vector<ast::Тип> типы;
    do {
        отбросить_прочитанные();
        тип_после_из = true;
        ВЗЯТЬ(следующий, разобрать_тип());
        типы.push_back(std::move(следующий));
    } while (совпадает(ВидТокена::И) || совпадает(ВидТокена::Запятая));
    return типы;
}

// `->`, the older spelling, or `:` before a return type.
bool Парсер::съесть_указатель_возврата() {
    const std::size_t позиция = текущий;
    if (совпадает(ВидТокена::Стрелка)) {
        записать<Правка::Заменить>(std::string(слова::правка_двоеточие), позиция, true, true,
                                   false);
        return true;
    }
    return совпадает(ВидТокена::Двоеточие);
}

// A return type after `->` or `:`, or none. An empty size suffix is not read
// in it.
Итог<std::optional<ast::Тип>> Парсер::разобрать_тип_возврата() {
    if (!съесть_указатель_возврата())
        return std::optional<ast::Тип>{};
    СохранённыйФлаг сохранённый(в_типе_возврата);
    в_типе_возврата = true;
    ВЗЯТЬ(тип, разобрать_тип());
    return std::optional<ast::Тип>(std::move(тип));
}

}  // namespace vokra::parser
