// A check that runs out of memory. Every allocation of this test program
// goes through the operator new below, so a test can make the one it names
// fail as an exhausted heap would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "вокра_lsp/diagnostics.hpp"
#include "вокра_lsp/transport.hpp"

namespace {

// Allocations still granted on this thread before one fails; none fails
// while it is at its largest.
constexpr std::size_t не_отказывать = std::numeric_limits<std::size_t>::max();
thread_local std::size_t до_отказа = не_отказывать;

}  // namespace

void* operator new(std::size_t байтов) {
    if (до_отказа != не_отказывать && до_отказа-- == 0)
        throw std::bad_alloc();
    if (void* память = std::malloc(байтов == 0 ? 1 : байтов))
        return память;
    throw std::bad_alloc();
}

// Not inlined: the compiler would take a free() that it sees beside a new
// for a mismatched pair.
[[gnu::noinline]] void operator delete(void* память) noexcept {
    std::free(память);
}

[[gnu::noinline]] void operator delete(void* память, std::size_t) noexcept {
    std::free(память);
}

namespace vokra::lsp {
namespace {

constexpr std::string_view текст = R"(структура Пара<А, Б> { А а; Б б; }
функция первый<Т>(Т х): Т { вернуть х; }
функция главная() {
    Пара<целое, текст> п = Пара<целое, текст>(1, "один");
    целое ч = первый<целое>(п.а);
    вывести(ч);
}
)";

// Every allocation of the check fails in turn: the check gives the diagnostic
// that says so, or its own result where the failure was absorbed (a vector
// that could not shrink), and the next check runs as before.
TEST(НехваткаПамяти, ПроверкаКончаетсяДиагностикой) {
    ASSERT_EQ(первая_ошибка(текст), std::nullopt);
    до_отказа = не_отказывать - 1;
    первая_ошибка(текст);
    const std::size_t выделений = не_отказывать - 1 - до_отказа;
    до_отказа = не_отказывать;
    ASSERT_GT(выделений, 100u);

    const auto нехватка = диагностика_с_позицией(1, 1, "документ не проверен: не хватило памяти");
    std::size_t отказов = 0;
    for (std::size_t номер = 0; номер < выделений; ++номер) {
        до_отказа = номер;
        const auto итог = первая_ошибка(текст);
        до_отказа = не_отказывать;
        отказов += итог == нехватка;
        EXPECT_TRUE(итог == нехватка || итог == std::nullopt) << номер;
    }
    EXPECT_GT(отказов, выделений / 2);
    EXPECT_EQ(первая_ошибка(текст), std::nullopt);

    // Published as the document's one diagnostic.
    const Отправитель отправитель{std::make_shared<Канал<std::string>>(),
                                  std::make_shared<ИтогПисателя>()};
    до_отказа = выделений / 2;
    ASSERT_TRUE(проверить_и_отправить_диагностики(отправитель, "file:///a", текст));
    до_отказа = не_отказывать;
    ASSERT_EQ(отправитель.канал->очередь.size(), 1u);
    const auto диагностики =
        nlohmann::json::parse(отправитель.канал->очередь.front())["params"]["diagnostics"];
    ASSERT_EQ(диагностики.size(), 1u);
    EXPECT_EQ(диагностики[0]["message"], нехватка.сообщение);
}

}  // namespace
}  // namespace vokra::lsp
