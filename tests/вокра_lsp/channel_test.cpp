#include "вокра_lsp/channel.hpp"

#include <gtest/gtest.h>

#include <thread>

namespace vokra::lsp {
namespace {

using namespace std::chrono_literals;

TEST(Канал, ЗначенияПослеЗакрытияИСрок) {
    Канал<int> канал;
    EXPECT_TRUE(канал.получить_за(10ms).срок_вышел);

    std::thread отправитель([&] {
        канал.отправить(1);
        канал.отправить(2);
        канал.закрыть();
    });
    отправитель.join();
    EXPECT_FALSE(канал.отправить(3));
    EXPECT_EQ(канал.получить(), 1);
    const auto приём = канал.получить_за(10ms);
    EXPECT_FALSE(приём.срок_вышел);
    EXPECT_EQ(приём.значение, 2);
    EXPECT_EQ(канал.получить(), std::nullopt);
    const auto после_закрытия = канал.получить_за(10s);
    EXPECT_FALSE(после_закрытия.срок_вышел);
    EXPECT_EQ(после_закрытия.значение, std::nullopt);
}

}  // namespace
}  // namespace vokra::lsp
