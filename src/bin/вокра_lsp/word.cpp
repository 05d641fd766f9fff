#include "вокра_lsp/word.hpp"

#include "unicode/lines.hpp"
#include "unicode/unicode.hpp"

namespace vokra::lsp {

std::optional<std::string> слово_под_курсором(std::string_view текст, std::uint32_t строка,
                                              std::uint32_t символ) {
    using vokra::unicode::символ_слова;
    const auto найдена = unicode::строка_без_возврата_каретки(текст, строка);
    if (!найдена)
        return std::nullopt;
    const std::u32string символы = vokra::unicode::декодировать(*найдена);
    if (символы.empty())
        return std::nullopt;

    std::size_t индекс;
    if (символ == 0)
        индекс = 0;
    else if (символ >= символы.size())
        индекс = символы.size() - 1;
    else
        индекс = символ_слова(символы[символ]) ? символ : символ - 1;
    if (!символ_слова(символы[индекс]))
        return std::nullopt;

    std::size_t начало = индекс;
    while (начало > 0 && символ_слова(символы[начало - 1]))
        --начало;
    std::size_t конец = индекс + 1;
    while (конец < символы.size() && символ_слова(символы[конец]))
        ++конец;
    return vokra::unicode::закодировать(
        std::u32string_view(символы).substr(начало, конец - начало));
}

}  // namespace vokra::lsp
