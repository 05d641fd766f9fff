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

// The text as it may be shown on a terminal: ill-formed UTF-8 and every
// control character but the tab (C0, DEL, C1) become U+FFFD, so a text that
// came from elsewhere cannot move the cursor or change colours.
std::string для_показа(std::string_view текст);

// The same for a text of several lines: its line breaks stay.
std::string строки_для_показа(std::string_view текст);

// Unicode lower case of a UTF-8 text (full case mapping, independent of the
// process locale, so Cyrillic folds as well as Latin).
std::string в_нижний_регистр(std::string_view текст);

}  // namespace vokra::пакеты
