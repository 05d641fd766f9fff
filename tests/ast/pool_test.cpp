#include "ast/pool.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ast/stack.hpp"
#include "parser/parser.hpp"

namespace {

using namespace vokra;

// Statements of nodes of several sizes, enough of them to fill many slabs.
std::vector<ast::ВерхнийУзел> дерево() {
    std::string текст = "функция f(целое x) {\n";
    for (int i = 0; i < 20'000; ++i)
        текст += "    x = -x + f(x, 1).y * 2;\n";
    auto узлы = parser::разобрать_исходный_текст(текст + "}\n");
    EXPECT_TRUE(узлы.has_value());
    return узлы ? std::move(*узлы) : std::vector<ast::ВерхнийУзел>{};
}

// Every slab a tree took goes back to the system once the tree is freed and
// the empty slabs kept for the next one are given back, whichever thread
// made the tree and whichever freed it.
TEST(ПамятьУзлов, ПлитыДереваВозвращаютсяСистеме) {
    if (!ast::пул_включён)
        GTEST_SKIP() << "every node comes from the heap";
    enum class Где { в_одном_потоке, сделано_в_закончившемся, освобождено_в_другом };
    for (const Где где :
         {Где::в_одном_потоке, Где::сделано_в_закончившемся, Где::освобождено_в_другом}) {
        SCOPED_TRACE(static_cast<int>(где));
        ast::вернуть_пустые_плиты();
        const std::size_t было = ast::плит_процесса();
        std::optional<std::vector<ast::ВерхнийУзел>> узлы;
        switch (где) {
            case Где::в_одном_потоке:
                ASSERT_EQ(ast::выполнить_на_стеке([&] {
                              узлы = дерево();
                              EXPECT_GT(ast::плит_потока(), 4u);
                              узлы.reset();
                              ast::вернуть_пустые_плиты();
                              EXPECT_EQ(ast::плит_потока(), 0u);
                          }),
                          0);
                break;
            case Где::сделано_в_закончившемся:
                ASSERT_EQ(ast::выполнить_на_стеке([&] { узлы = дерево(); }), 0);
                EXPECT_GT(ast::плит_процесса(), было + 4);
                узлы.reset();
                break;
            case Где::освобождено_в_другом:
                узлы = дерево();
                ASSERT_EQ(ast::выполнить_на_стеке([&] { узлы.reset(); }), 0);
                ast::вернуть_пустые_плиты();
                break;
        }
        EXPECT_EQ(ast::плит_процесса(), было);
    }
}

}  // namespace
