// The analyser's ordered tables across the segments of their entries.
#include "semantic/table.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unicode/text_hash.hpp"

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

// SipHash-1-3 under the key 00 01 … 0f, against values of the reference
// algorithm: every length of the last, partial word, whole words, and a
// Cyrillic text. A fault in a round or in the tail would leave a hash that
// still spreads ordinary names, so only the reference values show it. Under
// another key the same text hashes otherwise.
TEST(Таблицы, ХешТекстаПоКлючу) {
    const КлючХеша ключ{0x0706050403020100ULL, 0x0f0e0d0c0b0a0908ULL};
    const std::pair<std::size_t, std::uint64_t> байты_по_порядку[] = {
        {0, 0xabac0158050fc4dcULL},  {1, 0xc9f49bf37d57ca93ULL},  {7, 0xd3927d989bb11140ULL},
        {8, 0x369095118d299a8eULL},  {15, 0xd320d86d2a519956ULL}, {16, 0xcc4fdd1a7d908b66ULL},
        {23, 0x525a0e7fdae6c123ULL},
    };
    for (const auto& [длина, хеш] : байты_по_порядку) {
        std::string текст;
        for (std::size_t i = 0; i < длина; ++i)
            текст.push_back(static_cast<char>(i));
        EXPECT_EQ(хеш_текста(текст, ключ), хеш) << длина;
    }
    EXPECT_EQ(хеш_текста("переменная_счётчик", ключ), 0x9513dfb477290b07ULL);
    EXPECT_NE(хеш_текста("переменная_счётчик", {ключ.к0 ^ 1, ключ.к1}), 0x9513dfb477290b07ULL);
}

// Short lists are scanned and long ones indexed: either way every name is
// found at its first place, a name written twice too, and an absent one is
// not found.
TEST(Таблицы, СписокПоИменамНаходитПервое) {
    for (const std::size_t всего :
         {std::size_t{3}, std::size_t{16}, std::size_t{17}, std::size_t{200}}) {
        std::vector<std::string> имена;
        for (std::size_t i = 0; i < всего; ++i)
            имена.push_back("и" + std::to_string(i % (всего - 2)));
        const СписокПоИменам<std::string> список(имена);
        ASSERT_EQ(список.size(), всего);
        for (std::size_t i = 0; i < всего; ++i) {
            const std::string* найдено = список.найти(имена[i]);
            ASSERT_NE(найдено, nullptr) << i << " of " << всего;
            EXPECT_EQ(найдено - &*список.begin(), static_cast<std::ptrdiff_t>(i % (всего - 2)))
                << i << " of " << всего;
        }
        EXPECT_FALSE(список.содержит("и" + std::to_string(всего)));
    }
}

}  // namespace
}  // namespace vokra::semantic
