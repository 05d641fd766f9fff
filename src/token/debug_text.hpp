// The printed forms of values inside messages and debugging output: quoted
// texts with escapes, and fractional numbers as their shortest round-trip
// digits. The syntax tree, the parser and the analyser print through these.
#pragma once

#include <string>
#include <string_view>

namespace vokra {

// A text in double quotes. Backslash, double quote, NUL, tab, CR and LF are
// escaped with a backslash; other control, format, separator, private-use,
// unassigned and combining (Grapheme_Extend) characters as \u{hex} in lower
// case without padding. The space and everything printable (Cyrillic
// included) stays as it is.
std::string отладка_текста(std::string_view текст);

// The number in plain decimal notation with the fewest digits that read back
// to the same value: 2.0 gives "2", 1e23 gives "100000000000000000000000",
// 1e-7 gives "0.0000001". Infinities are "inf" and "-inf", NaN is "NaN".
std::string дробное_в_тексте(double число);

// The debugging form: like дробное_в_тексте but whole values keep ".0", and
// from 1e16 up or below 1e-4 the exponent form is used ("1e16", "1.5e16",
// "1e-5": no "+", no zero padding).
std::string отладка_дробного(double число);

}  // namespace vokra
