#include "semantic/suggestions.hpp"

#include <algorithm>

#include "semantic/messages.hpp"
#include "unicode/unicode.hpp"

namespace vokra::semantic {

namespace {

std::size_t расстояние(std::u32string_view а, std::u32string_view б) {
    // One row of the classic table; `диагональ` is the old entry j - 1.
    std::vector<std::size_t> строка(б.size() + 1);
    for (std::size_t j = 0; j < строка.size(); ++j)
        строка[j] = j;
    for (std::size_t i = 1; i <= а.size(); ++i) {
        std::size_t диагональ = строка[0];
        строка[0] = i;
        for (std::size_t j = 1; j <= б.size(); ++j) {
            const std::size_t сверху = строка[j];
            const std::size_t замена = диагональ + (а[i - 1] == б[j - 1] ? 0 : 1);
            строка[j] = std::min({замена, строка[j - 1] + 1, сверху + 1});
            диагональ = сверху;
        }
    }
    return строка.back();
}

// The same table cut off at `предел`: an entry more than `предел` away from
// the diagonal is at least that far, so each row is computed only within
// that band, every entry capped at `предел` + 1, and the walk stops once a
// whole row is past the limit, since no later row can come back below it.
// Time is proportional to the length times the limit, not to the product
// of the lengths.
std::size_t расстояние_до(std::u32string_view а, std::u32string_view б, std::size_t предел) {
    const std::size_t за_пределом = предел + 1;
    if (а.size() > б.size())
        std::swap(а, б);
    if (б.size() - а.size() > предел)
        return за_пределом;
    // Entries beyond the band of the row before stay at `за_пределом`.
    std::vector<std::size_t> строка(б.size() + 1, за_пределом);
    for (std::size_t j = 0; j <= std::min(б.size(), предел); ++j)
        строка[j] = j;
    for (std::size_t i = 1; i <= а.size(); ++i) {
        const std::size_t от = i > предел ? i - предел : 1;
        const std::size_t до = std::min(б.size(), i + предел);
        std::size_t диагональ = строка[от - 1];
        строка[от - 1] = от == 1 ? std::min(i, за_пределом) : за_пределом;
        std::size_t наименьшее = строка[от - 1];
        for (std::size_t j = от; j <= до; ++j) {
            const std::size_t сверху = строка[j];
            const std::size_t замена = диагональ + (а[i - 1] == б[j - 1] ? 0 : 1);
            строка[j] = std::min({замена, строка[j - 1] + 1, сверху + 1, за_пределом});
            наименьшее = std::min(наименьшее, строка[j]);
            диагональ = сверху;
        }
        if (наименьшее > предел)
            return за_пределом;
    }
    return строка.back();
}

}  // namespace

std::size_t расстояние_левенштейна(std::string_view а, std::string_view б) {
    return расстояние(unicode::декодировать(а), unicode::декодировать(б));
}

std::size_t расстояние_левенштейна_до(std::string_view а, std::string_view б, std::size_t предел) {
    return расстояние_до(unicode::декодировать(а), unicode::декодировать(б), предел);
}

const std::string* найти_похожее_имя(std::string_view имя,
                                     const std::vector<std::string>& кандидаты) {
    const std::u32string символы = unicode::декодировать(имя);
    const std::size_t n = символы.size();
    if (n == 0)
        return nullptr;
    const std::size_t порог = n < 3 ? 1 : std::min<std::size_t>(n / 3, 3);
    const std::string* лучший = nullptr;
    std::size_t лучшее_расстояние = 0;
    for (const auto& кандидат : кандидаты) {
        if (кандидат == имя)
            continue;
        // Only a candidate closer than the one chosen can replace it.
        const std::size_t предел = лучший ? лучшее_расстояние - 1 : порог;
        const std::size_t д = расстояние_до(символы, unicode::декодировать(кандидат), предел);
        if (д <= предел) {
            лучший = &кандидат;
            лучшее_расстояние = д;
            if (д == 0)
                break;
        }
    }
    return лучший;
}

std::string подсказка_похожего_имени(std::string_view имя,
                                     const std::vector<std::string>& кандидаты) {
    const std::string* выбор = найти_похожее_имя(имя, кандидаты);
    return выбор ? fmt::format(сообщения::подсказка, *выбор) : std::string();
}

std::string подсказка_похожего_имени(std::string_view имя,
                                     const std::vector<const std::string*>& кандидаты) {
    std::vector<std::string> имена;
    имена.reserve(кандидаты.size());
    for (const auto* кандидат : кандидаты)
        имена.push_back(*кандидат);
    return подсказка_похожего_имени(имя, имена);
}

}  // namespace vokra::semantic
