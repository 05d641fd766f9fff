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

}  // namespace

std::size_t расстояние_левенштейна(std::string_view а, std::string_view б) {
    return расстояние(unicode::декодировать(а), unicode::декодировать(б));
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
        const std::size_t д = расстояние(символы, unicode::декодировать(кандидат));
        if (д <= порог && (!лучший || д < лучшее_расстояние)) {
            лучший = &кандидат;
            лучшее_расстояние = д;
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
