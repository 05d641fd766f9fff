#include "вокра_lsp/channel.hpp"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(Канал, ОтправительЖдётМестаИлиЗакрытия) {
    Канал<int> канал(2);
    std::size_t наибольшая = 0;
    std::thread отправитель([&] {
        for (int i = 0; i < 1000; ++i)
            канал.отправить(i);
    });
    for (int i = 0; i < 1000; ++i) {
        {
            std::lock_guard захват(канал.замок);
            наибольшая = std::max(наибольшая, канал.очередь.size());
        }
        EXPECT_EQ(канал.получить(), i);
    }
    отправитель.join();
    EXPECT_LE(наибольшая, 2u);

    // A sender waiting on a full channel gives up when it closes.
    канал.отправить(1);
    канал.отправить(2);
    std::thread ждущий([&] { EXPECT_FALSE(канал.отправить(3)); });
    канал.закрыть();
    ждущий.join();
    EXPECT_EQ(канал.получить(), 1);
    EXPECT_EQ(канал.получить(), 2);
    EXPECT_EQ(канал.получить(), std::nullopt);
}

}  // namespace
}  // namespace vokra::lsp
