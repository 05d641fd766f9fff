// Text helpers shared by the file formats and the commands.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vokra::пакеты {

// Words separated by runs of Unicode White_Space.
std::vector<std::string> слова(std::string_view текст);

// Whether the bytes are well-formed UTF-8.
bool верный_utf8(std::string_view байты);

// The bytes as UTF-8 text, every ill-formed sequence replaced by U+FFFD.
std::string как_текст(std::string_view байты);

// Whether the character is a control character (C0, DEL, C1) or a
// bidirectional formatting one (U+200E, U+200F, U+202A to U+202E, U+2066 to
// U+2069): with them a text that came from elsewhere could move the cursor,
// change colours or be shown in another order than it is stored.
bool управляющий_символ(char32_t символ);

// Whether the text holds such a character.
bool есть_управляющий_символ(std::string_view текст);

// Texts from manifests, catalogues, repositories and git may be megabytes
// long; a message quotes at most this many characters of one.
inline constexpr std::size_t длина_цитаты = 200;
inline constexpr std::size_t без_предела = std::string_view::npos;

// The text as it may be shown on a terminal: ill-formed UTF-8 and every
// control character but the tab become U+FFFD. A text of more than `предел`
// characters keeps its first `предел` and ends with "…".
std::string для_показа(std::string_view текст, std::size_t предел = без_предела);

// The same for a text of several lines: its line breaks stay. A text of more
// than `предел` characters keeps half of them from its start and half from
// its end, with "…" between: git's output says first what git was doing and
// last why it failed.
std::string строки_для_показа(std::string_view текст, std::size_t предел = без_предела);

// A text from elsewhere as a message quotes it.
inline std::string цитата(std::string_view текст) {
    return для_показа(текст, длина_цитаты);
}

// git's own output as a message quotes it.
inline std::string цитата_вывода(std::string_view вывод) {
    return строки_для_показа(вывод, длина_цитаты);
}

// Unicode lower case of a UTF-8 text (full case mapping, independent of the
// process locale, so Cyrillic folds as well as Latin).
std::string в_нижний_регистр(std::string_view текст);

}  // namespace vokra::пакеты
