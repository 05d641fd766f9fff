#include "вокра_lsp/word.hpp"

#include "unicode/unicode.hpp"

namespace vokra::lsp {

namespace {

// The 0-based line `номер` without its line ending; nothing past the last
// line (a final line feed opens no extra line).
std::optional<std::string_view> строка_без_перевода(std::string_view текст, std::uint32_t номер) {
    std::size_t начало = 0;
    for (std::uint32_t i = 0; i < номер; ++i) {
        const std::size_t перевод = текст.find('\n', начало);
        if (перевод == std::string_view::npos)
            return std::nullopt;
        начало = перевод + 1;
    }
    if (начало == текст.size() && номер > 0)
        return std::nullopt;
    std::string_view строка = текст.substr(начало);
    if (const std::size_t перевод = строка.find('\n'); перевод != std::string_view::npos) {
        строка = строка.substr(0, перевод);
        if (строка.ends_with('\r'))
            строка.remove_suffix(1);
    }
    return строка;
}

}  // namespace

std::optional<std::string> слово_под_курсором(std::string_view текст, std::uint32_t строка,
                                              std::uint32_t символ) {
    using vokra::unicode::символ_слова;
    const auto найдена = строка_без_перевода(текст, строка);
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
