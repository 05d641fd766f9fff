// The analyser's ordered tables across the segments of their entries.
#include "semantic/table.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vokra::semantic {
namespace {

using Записи = Таблица<std::string, std::size_t>;

TEST(Таблицы, ПорядокИПоискЧерезГраницыКусков) {
    constexpr std::size_t в_куске = Куски<std::pair<std::string, std::size_t>>::в_куске;
    for (const std::size_t всего :
         {std::size_t{0}, std::size_t{1}, в_куске - 1, в_куске, в_куске + 1, 3 * в_куске + 5}) {
        Записи таблица;
        Множество<std::string> множество;
        for (std::size_t i = 0; i < всего; ++i) {
            таблица.вставить("к" + std::to_string(i), i);
            EXPECT_TRUE(множество.добавить("к" + std::to_string(i)));
        }
        // Entering a key again replaces its value where it stands.
        for (std::size_t i = 0; i < всего; i += 2)
            таблица["к" + std::to_string(i)] += 1000;
        EXPECT_FALSE(всего > 0 && множество.добавить("к0"));
        ASSERT_EQ(таблица.size(), всего);
        ASSERT_EQ(множество.size(), всего);

        std::size_t номер = 0;
        for (const auto& [ключ, значение] : таблица) {
            EXPECT_EQ(ключ, "к" + std::to_string(номер));
            EXPECT_EQ(значение, номер % 2 == 0 ? номер + 1000 : номер);
            ++номер;
        }
        EXPECT_EQ(номер, всего);
        EXPECT_EQ(std::vector<std::string>(множество.begin(), множество.end()), [&] {
            std::vector<std::string> ключи;
            for (const auto& [ключ, значение] : таблица)
                ключи.push_back(ключ);
            return ключи;
        }());
        for (std::size_t i = 0; i < всего; ++i) {
            const auto* найдено = таблица.найти("к" + std::to_string(i));
            ASSERT_NE(найдено, nullptr) << i << " of " << всего;
            EXPECT_EQ(*найдено, i % 2 == 0 ? i + 1000 : i);
            EXPECT_TRUE(множество.содержит("к" + std::to_string(i)));
        }
        EXPECT_EQ(таблица.найти("к" + std::to_string(всего)), nullptr);
        EXPECT_FALSE(множество.содержит("к" + std::to_string(всего)));
    }
}

}  // namespace
}  // namespace vokra::semantic
