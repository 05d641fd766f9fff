#include "token/debug_text.hpp"

#include <fmt/format.h>
#include <unicode/uchar.h>

#include <charconv>
#include <cmath>

#include "unicode/unicode.hpp"

namespace vokra {

namespace {

bool печатаемый(char32_t с) {
    if (с == U' ')
        return true;
    const auto код = static_cast<UChar32>(с);
    if (u_hasBinaryProperty(код, UCHAR_GRAPHEME_EXTEND))
        return false;
    switch (u_charType(код)) {
        case U_CONTROL_CHAR:
        case U_FORMAT_CHAR:
        case U_SURROGATE:
        case U_PRIVATE_USE_CHAR:
        case U_UNASSIGNED:
        case U_LINE_SEPARATOR:
        case U_PARAGRAPH_SEPARATOR:
        case U_SPACE_SEPARATOR:
            return false;
        default:
            return true;
    }
}

// The shortest round-trip digits of a finite positive number and the
// decimal exponent of the first digit: 1234.5 gives "12345" and 3.
struct Цифры {
    std::string цифры;
    int порядок = 0;
};

Цифры кратчайшие_цифры(double число) {
    char буфер[64];
    const auto итог =
        std::to_chars(буфер, буфер + sizeof буфер, число, std::chars_format::scientific);
    const std::string_view запись(буфер, итог.ptr - буфер);
    const auto позиция_e = запись.find('e');
    Цифры ц;
    for (char знак : запись.substr(0, позиция_e))
        if (знак != '.')
            ц.цифры.push_back(знак);
    const auto порядок = запись.substr(позиция_e + 1);
    std::from_chars(порядок.data() + (порядок[0] == '+' ? 1 : 0), порядок.data() + порядок.size(),
                    ц.порядок);
    return ц;
}

// Plain notation of the digits; with_point_zero adds ".0" to whole values.
std::string без_порядка(const Цифры& ц, bool с_точкой_ноль) {
    const int всего = static_cast<int>(ц.цифры.size());
    std::string текст;
    if (ц.порядок < 0) {
        текст = "0.";
        текст.append(static_cast<std::size_t>(-ц.порядок - 1), '0');
        текст += ц.цифры;
    } else if (ц.порядок + 1 >= всего) {
        текст = ц.цифры;
        текст.append(static_cast<std::size_t>(ц.порядок + 1 - всего), '0');
        if (с_точкой_ноль)
            текст += ".0";
    } else {
        текст = ц.цифры.substr(0, ц.порядок + 1) + "." + ц.цифры.substr(ц.порядок + 1);
    }
    return текст;
}

std::string особое_значение(double число) {
    if (std::isnan(число))
        return "NaN";
    return std::signbit(число) ? "-inf" : "inf";
}

std::string знак(double число) {
    return std::signbit(число) ? "-" : "";
}

}  // namespace

std::string отладка_текста(std::string_view текст) {
    std::string итог = "\"";
    for (char32_t с : unicode::декодировать(текст)) {
        switch (с) {
            case U'\0':
                итог += "\\0";
                continue;
            case U'\t':
                итог += "\\t";
                continue;
            case U'\r':
                итог += "\\r";
                continue;
            case U'\n':
                итог += "\\n";
                continue;
            case U'\\':
                итог += "\\\\";
                continue;
            case U'"':
                итог += "\\\"";
                continue;
            default:
                break;
        }
        if (печатаемый(с))
            unicode::дописать(итог, с);
        else
            итог += fmt::format("\\u{{{:x}}}", static_cast<std::uint32_t>(с));
    }
    итог += '"';
    return итог;
}

std::string дробное_в_тексте(double число) {
    if (!std::isfinite(число))
        return особое_значение(число);
    if (число == 0)
        return знак(число) + "0";
    return знак(число) + без_порядка(кратчайшие_цифры(std::fabs(число)), false);
}

std::string отладка_дробного(double число) {
    if (!std::isfinite(число))
        return особое_значение(число);
    if (число == 0)
        return знак(число) + "0.0";
    const double модуль = std::fabs(число);
    const Цифры ц = кратчайшие_цифры(модуль);
    if (модуль >= 1e16 || модуль < 1e-4) {
        std::string мантисса = ц.цифры.substr(0, 1);
        if (ц.цифры.size() > 1)
            мантисса += "." + ц.цифры.substr(1);
        return знак(число) + мантисса + "e" + std::to_string(ц.порядок);
    }
    return знак(число) + без_порядка(ц, true);
}

}  // namespace vokra
