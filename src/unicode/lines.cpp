#include "unicode/lines.hpp"

namespace vokra::unicode {

namespace {

// Takes the first line off `остаток`, up to its line feed; `остаток` moves
// past the feed.
std::string_view отделить_строку(std::string_view& остаток) {
    const std::size_t перевод = остаток.find('\n');
    const std::string_view строка = остаток.substr(0, перевод);
    остаток.remove_prefix(перевод == std::string_view::npos ? остаток.size() : перевод + 1);
    return строка;
}

// The line without a carriage return that ended right before its feed.
std::string_view без_возврата_каретки(std::string_view строка, bool был_перевод) {
    if (был_перевод && строка.ends_with('\r'))
        строка.remove_suffix(1);
    return строка;
}

// Skips `номер` lines; nothing when the text ends first.
std::optional<std::string_view> с_строки(std::string_view текст, std::size_t номер) {
    for (std::size_t i = 0; i < номер; ++i) {
        if (текст.find('\n') == std::string_view::npos)
            return std::nullopt;
        отделить_строку(текст);
    }
    return текст;
}

}  // namespace

std::vector<std::string_view> строки_без_возврата_каретки(std::string_view текст) {
    std::vector<std::string_view> строки;
    while (!текст.empty()) {
        const bool есть_перевод = текст.find('\n') != std::string_view::npos;
        строки.push_back(без_возврата_каретки(отделить_строку(текст), есть_перевод));
    }
    return строки;
}

std::optional<std::string_view> строка_без_возврата_каретки(std::string_view текст,
                                                            std::size_t номер) {
    auto остаток = с_строки(текст, номер);
    if (!остаток || остаток->empty())
        return std::nullopt;
    const bool есть_перевод = остаток->find('\n') != std::string_view::npos;
    return без_возврата_каретки(отделить_строку(*остаток), есть_перевод);
}

std::string_view строка_с_возвратом_каретки(std::string_view текст, std::size_t номер) {
    auto остаток = с_строки(текст, номер);
    return остаток ? отделить_строку(*остаток) : std::string_view();
}

}  // namespace vokra::unicode
