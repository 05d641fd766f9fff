// Texts that would exhaust the stack or take exponential time without the
// parser's nesting limit and its memory of speculative reads.
#include <chrono>

#include "parser/messages.hpp"
#include "support.hpp"

namespace vokra::parser {
namespace {

const std::string глубже_нельзя = fmt::format(сообщения::слишком_глубокая_вложенность);

std::string повтор(std::string_view кусок, std::size_t раз) {
    std::string текст;
    for (std::size_t i = 0; i < раз; ++i)
        текст += кусок;
    return текст;
}

TEST(Вложенность, ГлубокийТекстОстанавливаетсяОшибкой) {
    const std::string глубокие[] = {
        повтор("(", 100000) + "1",
        повтор("-", 100000) + "1",
        повтор("~", 100000) + "1",
        "1" + повтор(" + 1", 100000),
        "a" + повтор(".b", 100000),
        "a" + повтор("?", 100000),
        "f" + повтор("(1)", 100000),
        повтор("[", 100000),
        повтор("f(", 100000),
        // An interpolated piece nests inside its text.
        повтор("(", 600) + "\"${" + повтор("(", 600) + "x" + повтор(")", 600) + "}\"" +
            повтор(")", 600),
    };
    for (const auto& текст : глубокие) {
        const auto итог = тест::выражение(текст);
        EXPECT_NE(итог.find(глубже_нельзя), std::string::npos) << итог.substr(0, 200);
    }
    const std::string типы[] = {
        повтор("Список<", 100000),
        "целое" + повтор("(1)", 100000),
        "целое" + повтор("[]", 100000),
        повтор("результат из ", 100000) + "целое",
    };
    for (const auto& текст : типы)
        EXPECT_NE(тест::тип(текст).find(глубже_нельзя), std::string::npos);
}

TEST(Вложенность, ГлубокиеОператоры) {
    const std::string тексты[] = {
        "функция f() {" + повтор("если (x) {", 100000),
        "функция f() " + повтор("пока (x) ", 100000),
        "функция f() { если (a) { }" + повтор(" иначе если (a) { }", 100000) + " }",
        "функция f() { Список<" + повтор("Список<", 100000),
    };
    for (const auto& текст : тексты) {
        const auto итог = тест::программа(текст);
        EXPECT_NE(итог.find(глубже_нельзя), std::string::npos) << итог.substr(0, 200);
    }
    const std::string можно = "функция f() {" + повтор("если (x) {", 400) + повтор("}", 401);
    EXPECT_EQ(тест::программа(можно).find("Функция("), 0u);
}

TEST(Вложенность, ПределНаУровнеТокена) {
    // Each parenthesis opens one level, and so does the name inside them.
    const std::string текст = повтор("(", 1000) + "x";
    const auto итог = тест::выражение(текст);
    EXPECT_EQ(итог, "1:1001: " + глубже_нельзя);
    const std::string можно = повтор("(", 999) + "x" + повтор(")", 999);
    EXPECT_EQ(тест::выражение(можно), R"(Идентификатор("x"))");
    // So does each `[` of a nest of array literals, its levels read in a loop.
    EXPECT_EQ(тест::выражение(повтор("[", 1000) + "x"), "1:1001: " + глубже_нельзя);
    EXPECT_EQ(тест::выражение(повтор("[", 1001)), "1:1001: " + глубже_нельзя);
    const auto массив = тест::выражение(повтор("[", 998) + "x" + повтор(" + 1]", 998));
    EXPECT_EQ(массив.find("МассивЛит([Бинарное"), 0u) << массив.substr(0, 200);
}

TEST(Вложенность, ОшибкаГлубиныНеГлотаетсяПопыткойТиповогоВызова) {
    const std::string текст = "f<Т>(" + повтор("(", 2000);
    const auto итог = тест::выражение(текст);
    EXPECT_EQ(итог.substr(итог.find(' ') + 1), глубже_нельзя);
}

TEST(ПопыткиТиповогоВызова, НезакрытаяЦепочкаРазбираетсяБыстро) {
    // Every `a<b>(` is first tried as a call with a type argument; each
    // failed attempt is remembered, so the time stays polynomial in the
    // nesting instead of 2^depth.
    const auto начало = std::chrono::steady_clock::now();
    const std::string текст = повтор("a<b>(", 300);
    const auto итог = тест::выражение(текст);
    const auto прошло = std::chrono::steady_clock::now() - начало;
    EXPECT_EQ(итог.substr(итог.find(' ') + 1), "ожидалось выражение, встретилось конец файла");
    EXPECT_LT(прошло, std::chrono::seconds(2));
}

TEST(ПопыткиТиповогоВызова, ЗакрытаяЦепочкаОстаётсяВызовами) {
    const std::string текст = повтор("a<b>(", 3) + "x" + повтор(")", 3);
    const std::string вызов =
        R"(ВызовФункции { имя: "a", типовые_параметры: [Пользовательский("b")], аргументы: [)";
    EXPECT_EQ(тест::выражение(текст),
              повтор(вызов, 3) + R"(Идентификатор("x"))" + повтор("] }", 3));
}

TEST(ПопыткиТиповогоВызова, СравненияВАргументахНеВкладываются) {
    // `a < b, c < d, …` could start ever deeper types until the `)`; with no
    // `>` to close them they are read as comparisons at once. A thousand
    // arguments passed the nesting limit when they were read as types.
    std::string аргументы;
    for (int i = 0; i < 1000; ++i)
        аргументы += fmt::format("{}a{} < b{}", i == 0 ? "" : ", ", i, i);
    const auto вызов = тест::выражение("g(" + аргументы + ")");
    EXPECT_EQ(вызов.find("ВызовФункции { имя: \"g\""), 0u) << вызов.substr(0, 200);
    const auto программа = тест::программа("функция f() { x < " + аргументы + "; }");
    EXPECT_EQ(программа.find(глубже_нельзя), std::string::npos) << программа.substr(0, 200);
    // A `>` further on still lets the attempt read a typed call.
    EXPECT_EQ(
        тест::выражение("g(a < b, c > (d))"),
        R"(ВызовФункции { имя: "g", типовые_параметры: [], аргументы: [ВызовФункции { имя: "a", )"
        R"(типовые_параметры: [Пользовательский("b"), Пользовательский("c")], аргументы: [Идентификатор("d")] }] })");
}

// What a failed attempt read is kept for the place where it is read again:
// the `(` of the call as a parenthesized expression, the types after each
// `<` of a closed run. The results are those of reading it all again, the
// nesting limit included: a parenthesized reading that would pass it where
// the attempt did not is read again and stops there.
TEST(ПопыткиТиповогоВызова, ПрочитанноеОднаждыДаётТоЖе) {
    const std::string закрыть = "закрывающая скобка выражения: ожидалось «)», но встретилось ";
    const std::pair<std::string, std::string> случаи[] = {
        {"a<b>(1 i)", "1:8: " + закрыть + "имя «i»"},
        {"a<b>(a<b>(a<b>(1)) i)", "1:20: " + закрыть + "имя «i»"},
        {"a<b>(a<b>(1), 2 i)", "1:13: " + закрыть + "«,»"},
        {"f(a<b, c>(1 i))", "1:13: " + закрыть + "имя «i»"},
        {"x.y<b>(-)", "1:9: ожидалось выражение, встретилось «)»"},
        {"a<a<a<a>>a>>a",
         "Бинарное { левое: Бинарное { левое: Бинарное { левое: Идентификатор(\"a\"), оператор: "
         "Меньше, правое: Идентификатор(\"a\") }, оператор: Меньше, правое: "
         "Идентификатор(\"a\") }, оператор: Меньше, правое: Бинарное { левое: Бинарное { "
         "левое: Идентификатор(\"a\"), оператор: СдвигВправо, правое: Идентификатор(\"a\") }, "
         "оператор: СдвигВправо, правое: Идентификатор(\"a\") } }"},
        {"a<b<c>>(d) < e<f>(g)",
         R"(Бинарное { левое: ВызовФункции { имя: "a", типовые_параметры: [Обобщённый { имя: "b", )"
         R"(параметры: [Пользовательский("c")] }], аргументы: [Идентификатор("d")] }, оператор: )"
         R"(Меньше, правое: ВызовФункции { имя: "e", типовые_параметры: [Пользовательский("f")], )"
         R"(аргументы: [Идентификатор("g")] } })"},
        {"a<b>(" + повтор("(", 996) + "1 i" + повтор(")", 996) + ")",
         "1:1004: " + закрыть + "имя «i»"},
        {"a<b>(" + повтор("(", 997) + "1 i" + повтор(")", 997) + ")", "1:1003: " + глубже_нельзя},
    };
    for (const auto& [текст, ожидаемое] : случаи)
        EXPECT_EQ(тест::выражение(текст), ожидаемое) << текст.substr(0, 40);
}

}  // namespace
}  // namespace vokra::parser
