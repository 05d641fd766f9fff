#include <fmt/format.h>

#include <utility>

#include "ast/walk.hpp"
#include "token/token.hpp"
#include "подсказки/подсказки.hpp"

namespace vokra::подсказки {

namespace {

// The scalar types are spelled by their keywords, which stand in the same
// order among the tokens.
std::string_view написание_скалярного(std::size_t номер) {
    return написание(static_cast<ВидТокена>(static_cast<std::size_t>(ВидТокена::Целое) + номер));
}
static_assert(static_cast<std::size_t>(ВидТокена::Верно) -
                  static_cast<std::size_t>(ВидТокена::Целое) + 1 ==
              ast::число_скалярных_типов);

void дописать(std::string& в, const ast::Тип& тип);

// Nested arrays are written with their sizes outermost first: an array of two
// arrays of three is `целое(2)(3)`, so the innermost element is written
// first and the sizes after it, going inwards again.
void дописать_массив(std::string& в, const ast::Тип::Массив& массив) {
    const ast::Тип::Массив* внутренний = &массив;
    while (const auto* вложенный = std::get_if<ast::Тип::Массив>(&внутренний->элемент->вид))
        внутренний = вложенный;
    дописать(в, *внутренний->элемент);
    for (const ast::Тип::Массив* текущий = &массив;;
         текущий = &std::get<ast::Тип::Массив>(текущий->элемент->вид)) {
        if (текущий->размер)
            fmt::format_to(std::back_inserter(в), "({})", *текущий->размер);
        else
            в += "()";
        if (текущий == внутренний)
            break;
    }
}

// Every type is written into the one text, so a type nested d levels deep
// costs its length, not d copies of what stands inside it.
void дописать(std::string& в, const ast::Тип& тип) {
    using Т = ast::Тип;
    std::visit(
        ast::Перегрузка{
            [&](ast::один_из<Т::Целое, Т::Целое8, Т::Целое16, Т::Целое32, Т::Целое64, Т::Беззнак8,
                             Т::Беззнак16, Т::Беззнак32, Т::Беззнак64, Т::Дробное, Т::Дробное32,
                             Т::Дробное64, Т::Текст, Т::Верно> auto&) {
                в += написание_скалярного(тип.вид.index());
            },
            [&](const Т::Пользовательский& т) { в += т.имя; },
            [&](const Т::Обобщённый& т) {
                в += т.имя();
                в += " из ";
                bool первый = true;
                for (const auto& параметр : т.параметры()) {
                    if (!std::exchange(первый, false))
                        в += " и ";
                    дописать(в, параметр);
                }
            },
            [&](const Т::Массив& т) { дописать_массив(в, т); },
            [&](const Т::Опциональный& т) {
                дописать(в, *т.тип);
                в += '?';
            },
            [&](const Т::Результат& т) {
                в += "результат из ";
                дописать(в, *т.тип);
            },
            [&](const Т::Канал& т) {
                в += "канал из ";
                дописать(в, *т.тип);
            },
        },
        тип.вид);
}

}  // namespace

std::string тип_в_текст(const ast::Тип& тип) {
    std::string текст;
    дописать(текст, тип);
    return текст;
}

}  // namespace vokra::подсказки
