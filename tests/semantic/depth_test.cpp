// The deepest texts the parser accepts go through the whole check without
// exhausting the stack. The check runs on a thread with a large explicit
// stack, as the language server runs it; sanitizer builds need the room.
// On a thread of a smaller stack the check stops where the measured stack
// runs out, whatever counted limit is still far.
#include <fmt/format.h>

#include <functional>

#include "ast/stack.hpp"
#include "semantic/limits.hpp"
#include "whole_program.hpp"

namespace vokra::semantic {
namespace {

std::string повтор(std::string_view кусок, std::size_t раз) {
    std::string текст;
    for (std::size_t i = 0; i < раз; ++i)
        текст += кусок;
    return текст;
}

void в_потоке(const std::function<void()>& работа, std::size_t стек = ast::стек_потока_проверки) {
    ASSERT_EQ(ast::выполнить_на_стеке(работа, стек), 0);
}

bool разбирается(const std::string& текст) {
    return тест::парсер(текст).разобрать_программу().has_value();
}

TEST(Глубина, СамыеГлубокиеТекстыПроходятПроверку) {
    // Each text at nesting n: начало, лево repeated n / делитель times,
    // середина, право as often, конец; and what the whole check says.
    const struct {
        const char *начало, *лево, *середина, *право, *конец;
        std::size_t делитель;
        const char* итог;
    } случаи[] = {
        {"функция ф() { целое x = ", "(", "1", ")", "; }", 1, "ok"},
        {"функция ф() { целое x = ", "-", "1", "", "; }", 1, "ok"},
        {"функция ф() { целое x = 1", " + 1", "", "", "; }", 1, "ok"},
        {"функция ф() { целое x = ", "массив(", "1", ")", "; }", 1,
         "1: несовпадение типов для 'x': ожидался Целое, получено Массив { элемент: "},
        {"функция ф(целое[] н) { целое x = н", ".п", "", "(0)", "; }", 2, "ok"},
        {"функция ф(целое[] н): результат из целое { вернуть успех(н", "?", "", "", "); }", 1,
         "ok"},
        {"функция ф() { текст т = \"${", "(", "1", ")", "}\"; }", 1, "ok"},
        {"функция ф(): целое { ", "если (да) { ", "вернуть 1; ", "} иначе { вернуть 2; } ", "}", 1,
         "ok"},
        {"функция ф() { ", "пока (да) { ", "прервать; ", "} ", "}", 1, "ok"},
        {"функция ф() { если (да) { }", " иначе если (да) { }", "", "", " }", 1, "ok"},
        {"функция ф() { ", "для каждого x в массив(1) { параллельно { ", "", "} } ", "}", 2, "ok"},
        {"функция ф(", "Список из ", "целое с) { целое x = с; }", "", "", 1,
         "1: несовпадение типов для 'x': ожидался Целое, получено Список(Список("},
        {"структура Т { ", "результат из ", "целое п; }", "", "", 1, "ok"},
    };
    // A statement takes two levels of the parser's limit, an expression one.
    for (const auto& с : случаи) {
        const auto текст = [&](std::size_t n) {
            return с.начало + повтор(с.лево, n / с.делитель) + с.середина +
                   повтор(с.право, n / с.делитель) + с.конец;
        };
        std::size_t n = 1000;
        std::string итог;
        // The parser recurses as deep as the analyser: both on the thread.
        в_потоке([&] {
            while (n > 0 && !разбирается(текст(n)))
                --n;
            итог = тест::проверка(текст(n));
        });
        ASSERT_GT(n, 300u) << с.начало << с.лево;
        EXPECT_EQ(итог.substr(0, std::string_view(с.итог).size()), с.итог) << с.начало << с.лево;
    }
}

// `функций` generic functions of `параметры`, returning `тип`: each returns
// what `вокруг` writes around its call of the next with `аргументы`, the
// last returns `последнее`.
std::string цепь_вызовов(std::size_t функций, std::string (*вокруг)(std::string),
                         std::string_view параметры = "", std::string_view аргументы = "",
                         std::string_view тип = "целое", std::string_view последнее = "1") {
    std::string текст;
    for (std::size_t i = 0; i < функций; ++i)
        текст += fmt::format(
            "функция г{}<Т>({}): {} {{ вернуть {}; }}\n", i, параметры, тип,
            i + 1 < функций ? вокруг(fmt::format("г{}<Т>({})", i + 1, аргументы)) : последнее);
    return текст + fmt::format("функция главная({}) {{ {} x = г0<целое>({}); }}\n", параметры, тип,
                               аргументы);
}

TEST(Глубина, СтекОграниченЗамером) {
    constexpr std::size_t КБ = 1024;
    const struct {
        std::string текст;
        // The stack of the thread the check runs on.
        std::size_t стек;
        const char* итог;
    } случаи[] = {
        // Far below the parser's nesting limit.
        {"функция ф() { целое x = " + повтор("(", 600) + "1" + повтор(")", 600) + "; }", 512 * КБ,
         "стек разбора"},
        // Two templates that call each other with ever longer types: a few
        // frames per instance, up to the counted bound of 64 of each.
        {"функция а<Т>(): целое { вернуть б<Т>(); }\n"
         "функция б<Т>(): целое { вернуть а<Список<Т>>(); }\n"
         "функция главная() { целое x = а<целое>(); }\n",
         512 * КБ, "стек проверки"},
        // Chains of prefix and binary operators and of fields cost no frame
        // per link: 40 instances of 900 links fit where a frame per link
        // would take several times the stack.
        {цепь_вызовов(40, [](std::string вызов) { return повтор("-", 900) + вызов; }), 4096 * КБ,
         "ok"},
        {цепь_вызовов(40, [](std::string вызов) { return вызов + повтор(" + 1", 900); }), 4096 * КБ,
         "ok"},
        {"структура С { С п; }\n" + цепь_вызовов(
                                        40,
                                        [](std::string вызов) { return вызов + повтор(".п", 900); },
                                        "С с", "с", "С", "с"),
         4096 * КБ, "ok"},
    };
    for (const auto& с : случаи) {
        std::string итог;
        в_потоке(
            [&] {
                auto узлы = parser::разобрать_исходный_текст(с.текст);
                if (!узлы) {
                    итог = узлы.error().стек_исчерпан ? "стек разбора" : узлы.error().сообщение;
                    return;
                }
                const std::vector<std::optional<std::string>> модуль_узла(узлы->size());
                auto проверено =
                    СемантическийАнализатор::новый().проверить_программу(*узлы, {}, модуль_узла);
                итог = !проверено && проверено.error().стек_исчерпан
                           ? "стек проверки"
                           : тест::итог_в_тексте(проверено);
            },
            с.стек);
        EXPECT_EQ(итог, с.итог) << с.текст.substr(0, 100);
    }
}

// A tree built a level at a time is freed level by level too, each holder
// freeing the next: past the limit the rest is put off and freed from a
// shallower frame, and freeing it makes no check stop.
TEST(Глубина, ГлубокоеДеревоОсвобождаетсяНаМаломСтеке) {
    using В = ast::Выражение;
    constexpr std::size_t уровней = 200'000;
    const std::function<void()> деревья[] = {
        [] {
            В в{В::ЦелоеЛит{1}};
            for (std::size_t i = 0; i < уровней; ++i)
                в = В{В::Унарное{ast::УнарныйОператор::Минус, std::move(в)}};
        },
        [] {
            В в{В::ЦелоеЛит{1}};
            for (std::size_t i = 0; i < уровней; ++i) {
                std::vector<В> аргументы;
                аргументы.push_back(std::move(в));
                в = В{В::ВызовФункции{"ф", {}, std::move(аргументы)}};
            }
        },
        [] {
            РешённыйТип тип{РешённыйТип::Целое{}};
            for (std::size_t i = 0; i < уровней; ++i)
                тип = тип_списка(std::move(тип));
        },
    };
    for (const auto& дерево : деревья) {
        bool исчерпан = true;
        в_потоке(
            [&] {
                ast::ЗамерСтека замер;
                дерево();
                исчерпан = замер.исчерпан();
            },
            256 * 1024);
        EXPECT_FALSE(исчерпан);
    }
}

// A chain of binary operators leans left, as the parser builds it: its
// nodes are counted and freed going down it with no frame per level.
TEST(Глубина, ЛеваяЦепьСчитаетсяНаМаломСтеке) {
    using В = ast::Выражение;
    constexpr std::size_t уровней = 200'000;
    std::size_t узлов = 0;
    bool исчерпан = true;
    в_потоке(
        [&] {
            ast::ЗамерСтека замер;
            {
                В в{В::Идентификатор{"x"}};
                for (std::size_t i = 0; i < уровней; ++i)
                    в = В{
                        В::Бинарное{std::move(в), ast::БинарныйОператор::Плюс, В{В::ЦелоеЛит{1}}}};
                ast::ОбъявлениеФункции функция;
                функция.тело.push_back(
                    {ast::Оператор{ast::Оператор::ВыражениеОператор{std::move(в)}}, 1});
                узлов = размер_шаблона(функция);
            }
            исчерпан = замер.исчерпан();
        },
        256 * 1024);
    EXPECT_FALSE(исчерпан);
    // The statement, every operator and operand.
    EXPECT_EQ(узлов, 2 * уровней + 2);
}

}  // namespace
}  // namespace vokra::semantic
