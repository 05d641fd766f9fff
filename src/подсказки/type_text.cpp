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

// Nested arrays are written with their sizes outermost first: an array of two
// arrays of three is `целое(2)(3)`, so the sizes are collected going inwards
// and written after the innermost element.
std::string массив_в_текст(const ast::Тип::Массив& массив) {
    std::string размеры;
    const ast::Тип::Массив* текущий = &массив;
    while (true) {
        размеры += текущий->размер ? fmt::format("({})", *текущий->размер) : "()";
        const auto* вложенный = std::get_if<ast::Тип::Массив>(&текущий->элемент->вид);
        if (вложенный == nullptr)
            break;
        текущий = вложенный;
    }
    return тип_в_текст(*текущий->элемент) + размеры;
}

}  // namespace

std::string тип_в_текст(const ast::Тип& тип) {
    using Т = ast::Тип;
    return std::visit(
        ast::Перегрузка{
            [&](ast::один_из<Т::Целое, Т::Целое8, Т::Целое16, Т::Целое32, Т::Целое64, Т::Беззнак8,
                             Т::Беззнак16, Т::Беззнак32, Т::Беззнак64, Т::Дробное, Т::Дробное32,
                             Т::Дробное64, Т::Текст, Т::Верно> auto&) {
                return std::string(написание_скалярного(тип.вид.index()));
            },
            [](const ast::Тип::Пользовательский& т) { return т.имя; },
            [](const ast::Тип::Обобщённый& т) {
                std::string параметры;
                for (const auto& параметр : т.параметры()) {
                    if (!параметры.empty())
                        параметры += " и ";
                    параметры += тип_в_текст(параметр);
                }
                return fmt::format("{} из {}", т.имя(), параметры);
            },
            [](const ast::Тип::Массив& т) { return массив_в_текст(т); },
            [](const ast::Тип::Опциональный& т) { return тип_в_текст(*т.тип) + "?"; },
            [](const ast::Тип::Результат& т) { return "результат из " + тип_в_текст(*т.тип); },
            [](const ast::Тип::Канал& т) { return "канал из " + тип_в_текст(*т.тип); },
        },
        тип.вид);
}

}  // namespace vokra::подсказки
