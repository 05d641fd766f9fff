#include "вокра_lsp/uri.hpp"

#include <unicode/uidna.h>
#include <uriparser/Uri.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace vokra::lsp {

namespace {

// A set of ASCII characters as a table of the 256 byte values, built when
// the code compiles: the normaliser asks about every byte of an address.
struct НаборБайтов {
    std::array<bool, 256> есть;

    constexpr explicit НаборБайтов(std::string_view символы) : есть() {
        for (bool& байт : есть)
            байт = false;
        for (const char c : символы)
            есть[static_cast<unsigned char>(c)] = true;
    }
    constexpr bool operator()(char c) const { return есть[static_cast<unsigned char>(c)]; }
};

bool ascii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

// The percent-encode sets of the URL standard; each one but the first holds
// the one before it.
enum class Набор { управляющие, фрагмент, запрос, особый_запрос, путь, пользователь };

bool кодируется(char символ, Набор набор) {
    static constexpr НаборБайтов фрагмент(" \"<>`"), запрос(" \"#<>"), особый_запрос(" \"#<>'"),
        путь(" \"#<>?`{}"), пользователь(" \"#<>?`{}/:;=@[\\]^|");
    const auto c = static_cast<unsigned char>(символ);
    if (c < 0x20 || c > 0x7E)
        return true;
    switch (набор) {
        case Набор::управляющие:
            return false;
        case Набор::фрагмент:
            return фрагмент(символ);
        case Набор::запрос:
            return запрос(символ);
        case Набор::особый_запрос:
            return особый_запрос(символ);
        case Набор::путь:
            return путь(символ);
        case Набор::пользователь:
            return пользователь(символ);
    }
    return true;
}

void дописать_код(std::string& куда, char символ) {
    constexpr std::string_view цифры = "0123456789ABCDEF";
    const auto c = static_cast<unsigned char>(символ);
    куда += '%';
    куда += цифры[c >> 4];
    куда += цифры[c & 0xF];
}

void дописать_закодированное(std::string& куда, std::string_view текст, Набор набор) {
    for (const char c : текст) {
        if (кодируется(c, набор))
            дописать_код(куда, c);
        else
            куда += c;
    }
}

std::string закодировать(std::string_view текст, Набор набор) {
    std::string итог;
    дописать_закодированное(итог, текст, набор);
    return итог;
}

bool шестнадцатеричная(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool код_в(std::string_view текст, std::size_t i) {
    return текст[i] == '%' && i + 2 < текст.size() && шестнадцатеричная(текст[i + 1]) &&
           шестнадцатеричная(текст[i + 2]);
}

// Text between escapes is copied a run at a time: a host or path may be a
// megabyte long.
std::string раскодировать(std::string_view текст) {
    auto значение = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::string итог;
    итог.reserve(текст.size());
    for (std::size_t i = 0; i < текст.size();) {
        const std::size_t процент = std::min(текст.find('%', i), текст.size());
        итог.append(текст, i, процент - i);
        if (процент == текст.size())
            break;
        if (код_в(текст, процент)) {
            итог +=
                static_cast<char>(значение(текст[процент + 1]) * 16 + значение(текст[процент + 2]));
            i = процент + 3;
        } else {
            итог += '%';
            i = процент + 1;
        }
    }
    return итог;
}

std::string нижний_регистр(std::string_view текст) {
    std::string итог(текст);
    for (char& c : итог)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return итог;
}

struct ОсобаяСхема {
    std::string_view имя;
    std::string_view порт_по_умолчанию;
};

constexpr std::array<ОсобаяСхема, 6> особые_схемы{
    {{"ftp", "21"}, {"file", ""}, {"http", "80"}, {"https", "443"}, {"ws", "80"}, {"wss", "443"}}};

const ОсобаяСхема* особая(std::string_view схема) {
    const auto найдена = std::ranges::find(особые_схемы, схема, &ОсобаяСхема::имя);
    return найдена == особые_схемы.end() ? nullptr : &*найдена;
}

bool верная_схема(std::string_view схема) {
    auto буква = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (схема.empty() || !буква(схема.front()))
        return false;
    return std::ranges::all_of(схема, [&](char c) {
        return буква(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    });
}

bool запрещён_в_узле(char c) {
    static constexpr НаборБайтов запрещённые(" #/:<>?@[\\]^|");
    return c == '\0' || запрещённые(c);
}

// One lookup per byte: a converted host may be megabytes long.
constexpr НаборБайтов запрещён_в_домене = [] {
    НаборБайтов набор(" #/:<>?@[\\]^|%");
    for (std::size_t код = 0; код < 0x20; ++код)
        набор.есть[код] = true;
    набор.есть[0x7F] = true;
    return набор;
}();

// The errors that the URL standard does not count: its domain-to-ASCII skips
// the hyphen and length checks.
constexpr std::uint32_t не_считаются =
    UIDNA_ERROR_EMPTY_LABEL | UIDNA_ERROR_LABEL_TOO_LONG | UIDNA_ERROR_DOMAIN_NAME_TOO_LONG |
    UIDNA_ERROR_LEADING_HYPHEN | UIDNA_ERROR_TRAILING_HYPHEN | UIDNA_ERROR_HYPHEN_3_4;

const UIDNA* обработка_uts46() {
    static const UIDNA* const idna = [] {
        UErrorCode код = U_ZERO_ERROR;
        return uidna_openUTS46(
            UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ | UIDNA_NONTRANSITIONAL_TO_ASCII, &код);
    }();
    return idna;
}

struct ИмяВAscii {
    std::string текст;
    std::uint32_t ошибки = 0;
};

// One pass of UTS #46 processing over a name into `итог`, whose room is
// kept from one name to the next; false when ICU fails.
bool имя_в_ascii(const UIDNA* idna, std::string_view имя, ИмяВAscii& итог) {
    итог.текст.resize(имя.size() * 4 + 16);
    for (int попытка = 0; попытка < 2; ++попытка) {
        UErrorCode код = U_ZERO_ERROR;
        UIDNAInfo сведения = UIDNA_INFO_INITIALIZER;
        const int32_t длина = uidna_nameToASCII_UTF8(
            idna, имя.data(), static_cast<int32_t>(имя.size()), итог.текст.data(),
            static_cast<int32_t>(итог.текст.size()), &сведения, &код);
        итог.текст.resize(static_cast<std::size_t>(std::max(длина, 0)));
        if (код == U_BUFFER_OVERFLOW_ERROR)
            continue;
        if (U_FAILURE(код))
            return false;
        итог.ошибки = сведения.errors;
        return true;
    }
    return false;
}

// ICU replaces each label inside the whole name as it converts it, so a name
// of many labels costs their number times its length. A longer name than
// this goes through in pieces of whole labels.
constexpr std::size_t кусок_имени = 256;

// The end of the piece of `имя` that starts at `начало`: after the first
// dot past кусок_имени bytes, or the name's end.
std::size_t конец_куска(std::string_view имя, std::size_t начало) {
    if (имя.size() - начало <= кусок_имени)
        return имя.size();
    const std::size_t точка = имя.find('.', начало + кусок_имени);
    return точка == std::string_view::npos ? имя.size() : точка + 1;
}

// Converts the pieces of a long name, each with one label more after it;
// the same room serves every piece.
struct КускиИмени {
    const UIDNA* idna;
    std::string имя;
    ИмяВAscii итог;

    bool с_меткой(std::string_view кусок, std::string_view метка) {
        имя.assign(кусок);
        if (!имя.ends_with('.'))
            имя += '.';
        return имя_в_ascii(idna, имя.append(метка), итог);
    }
};

// A non-ASCII domain becomes its ASCII form as the URL standard asks: UTS #46
// processing without its hyphen and length checks. Of its conditions only
// one spans labels: in a name with a right-to-left label every label must
// satisfy the Bidi rule. A long name is converted piece by piece, each with
// the label "0a" after it, which breaks the rule without being right-to-left:
// the rule is broken there exactly when the piece has a right-to-left label.
// Only then is each piece tried again with "א", right-to-left and within the
// rule, to find one that breaks it.
std::optional<std::string> домен_в_ascii(const std::string& домен) {
    const UIDNA* idna = обработка_uts46();
    if (idna == nullptr)
        return std::nullopt;
    if (домен.size() <= кусок_имени) {
        ИмяВAscii итог;
        if (!имя_в_ascii(idna, домен, итог) || (итог.ошибки & ~не_считаются) != 0)
            return std::nullopt;
        return std::move(итог.текст);
    }
    КускиИмени куски{idna, {}, {}};
    const auto& часть = куски.итог;
    std::string итог;
    bool справа_налево = false;
    for (std::size_t начало = 0, конец; начало < домен.size(); начало = конец) {
        конец = конец_куска(домен, начало);
        // "0a" stays as it is written, after a dot of its own.
        if (!куски.с_меткой(std::string_view(домен).substr(начало, конец - начало), "0a") ||
            (часть.ошибки & ~не_считаются & ~UIDNA_ERROR_BIDI) != 0 ||
            !часть.текст.ends_with(".0a"))
            return std::nullopt;
        справа_налево = справа_налево || (часть.ошибки & UIDNA_ERROR_BIDI) != 0;
        итог.append(часть.текст, 0, часть.текст.size() - std::string_view(".0a").size());
        if (конец < домен.size() || домен.ends_with('.'))
            итог += '.';
    }
    for (std::size_t начало = 0, конец; справа_налево && начало < домен.size(); начало = конец) {
        конец = конец_куска(домен, начало);
        if (!куски.с_меткой(std::string_view(домен).substr(начало, конец - начало), "\u05D0") ||
            (часть.ошибки & UIDNA_ERROR_BIDI) != 0)
            return std::nullopt;
    }
    return итог;
}

// The host of a special scheme: percent-decoded, then lower-cased, or put
// through IDNA when it is not ASCII. An IPv6 literal is only lower-cased and
// left to the final check.
std::optional<std::string> особый_узел(std::string_view узел) {
    if (узел.starts_with('['))
        return нижний_регистр(узел);
    std::string домен = раскодировать(узел);
    if (std::ranges::all_of(домен, ascii)) {
        домен = нижний_регистр(домен);
    } else {
        auto в_ascii = домен_в_ascii(домен);
        if (!в_ascii)
            return std::nullopt;
        домен = std::move(*в_ascii);
    }
    if (std::ranges::any_of(домен, запрещён_в_домене))
        return std::nullopt;
    return домен;
}

// The host of any other scheme keeps its case and its escapes.
std::optional<std::string> непрозрачный_узел(std::string_view узел) {
    if (узел.starts_with('['))
        return нижний_регистр(узел);
    if (std::ranges::any_of(узел, запрещён_в_узле))
        return std::nullopt;
    return закодировать(узел, Набор::управляющие);
}

// Userinfo, host and port of an authority of a scheme other than file.
std::optional<std::string> полномочия(std::string_view текст, const ОсобаяСхема* схема) {
    std::string итог;
    const auto собака = текст.rfind('@');
    if (собака != std::string_view::npos) {
        const std::string_view сведения = текст.substr(0, собака);
        const auto двоеточие = сведения.find(':');
        const std::string пользователь =
            закодировать(сведения.substr(0, двоеточие), Набор::пользователь);
        const std::string пароль =
            двоеточие == std::string_view::npos
                ? std::string()
                : закодировать(сведения.substr(двоеточие + 1), Набор::пользователь);
        if (!пользователь.empty() || !пароль.empty())
            итог += пользователь + (пароль.empty() ? "" : ":" + пароль) + "@";
        текст = текст.substr(собака + 1);
    }
    const std::size_t конец_узла =
        текст.starts_with('[') ? std::min(текст.find(']'), текст.size() - 1) + 1 : текст.find(':');
    const std::string_view узел = текст.substr(0, конец_узла);
    std::string_view порт = конец_узла < текст.size() ? текст.substr(конец_узла) : "";
    if (!порт.empty() && !порт.starts_with(':'))
        return std::nullopt;
    if (!порт.empty())
        порт.remove_prefix(1);

    const auto разобранный_узел = схема ? особый_узел(узел) : непрозрачный_узел(узел);
    if (!разобранный_узел)
        return std::nullopt;
    if (разобранный_узел->empty() && (схема || !итог.empty() || !порт.empty()))
        return std::nullopt;
    итог += *разобранный_узел;

    if (!порт.empty()) {
        unsigned номер = 0;
        const auto [конец, код] = std::from_chars(порт.data(), порт.data() + порт.size(), номер);
        if (код != std::errc{} || конец != порт.data() + порт.size() || номер > 65535 ||
            !std::ranges::all_of(порт, [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        const std::string число = std::to_string(номер);
        if (!схема || число != схема->порт_по_умолчанию)
            итог += ":" + число;
    }
    return итог;
}

bool равны_без_регистра(std::string_view текст, std::string_view нижний) {
    return std::ranges::equal(текст, нижний, [](char c, char н) {
        return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == н;
    });
}

bool одна_точка(std::string_view сегмент) {
    return сегмент == "." || равны_без_регистра(сегмент, "%2e");
}

bool две_точки(std::string_view сегмент) {
    return сегмент == ".." || равны_без_регистра(сегмент, ".%2e") ||
           равны_без_регистра(сегмент, "%2e.") || равны_без_регистра(сегмент, "%2e%2e");
}

// A path that starts with '/': "." and ".." segments resolved, each segment
// percent-encoded. Segments are written out as they come; ".." cuts the
// output back to where the last kept one began.
std::string нормализовать_путь(std::string_view путь) {
    std::string итог;
    std::vector<std::size_t> начала;
    auto начать_сегмент = [&] {
        начала.push_back(итог.size());
        итог += '/';
    };
    std::size_t начало = 1;
    for (;;) {
        const std::size_t конец = std::min(путь.find('/', начало), путь.size());
        const std::string_view сегмент = путь.substr(начало, конец - начало);
        const bool последний = конец == путь.size();
        if (две_точки(сегмент)) {
            if (!начала.empty()) {
                итог.resize(начала.back());
                начала.pop_back();
            }
            if (последний)
                начать_сегмент();
        } else if (одна_точка(сегмент)) {
            if (последний)
                начать_сегмент();
        } else {
            начать_сегмент();
            дописать_закодированное(итог, сегмент, Набор::путь);
        }
        if (последний)
            break;
        начало = конец + 1;
    }
    return итог;
}

struct ЧастиАдреса {
    std::optional<std::string> полномочия;
    std::string путь;
};

std::optional<ЧастиАдреса> части_адреса(std::string_view основа, const ОсобаяСхема* схема) {
    const auto до_косой = [&](std::size_t начало) {
        const std::size_t конец = std::min(основа.find('/', начало), основа.size());
        return std::pair{основа.substr(начало, конец - начало), основа.substr(конец)};
    };
    if (схема && схема->имя == "file") {
        std::string_view узел, путь = основа;
        if (основа.starts_with("//"))
            std::tie(узел, путь) = до_косой(2);
        auto разобранный = особый_узел(узел);
        if (!разобранный)
            return std::nullopt;
        if (*разобранный == "localhost")
            разобранный->clear();
        if (путь.starts_with('/'))
            return ЧастиАдреса{std::move(*разобранный), нормализовать_путь(путь)};
        std::string от_корня(1, '/');
        return ЧастиАдреса{std::move(*разобранный), нормализовать_путь(от_корня.append(путь))};
    }
    if (схема) {
        const auto [текст, путь] = до_косой(std::min(основа.find_first_not_of('/'), основа.size()));
        auto разобранные = полномочия(текст, схема);
        if (!разобранные)
            return std::nullopt;
        return ЧастиАдреса{std::move(*разобранные), нормализовать_путь(путь.empty() ? "/" : путь)};
    }
    if (основа.starts_with("//")) {
        const auto [текст, путь] = до_косой(2);
        auto разобранные = полномочия(текст, nullptr);
        if (!разобранные)
            return std::nullopt;
        return ЧастиАдреса{std::move(*разобранные), путь.empty() ? "" : нормализовать_путь(путь)};
    }
    if (основа.starts_with('/'))
        return ЧастиАдреса{std::nullopt, нормализовать_путь(основа)};
    return ЧастиАдреса{std::nullopt, закодировать(основа, Набор::управляющие)};
}

// What the URL standard lets stand raw but RFC 3986 does not is encoded in a
// copy for the final syntax check; brackets stay only around an IPv6 host,
// and only the first '#' starts the fragment.
std::string для_проверки(std::string_view адрес, std::size_t начало_узла, std::size_t конец_узла) {
    static constexpr НаборБайтов разрешённые(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-._~!$&'()*+,;=:@/?#");
    std::string итог;
    итог.reserve(адрес.size());
    bool во_фрагменте = false;
    for (std::size_t i = 0; i < адрес.size(); ++i) {
        // A run that stands as it is goes over at once.
        std::size_t конец_ряда = i;
        while (конец_ряда < адрес.size() && разрешённые(адрес[конец_ряда]) &&
               адрес[конец_ряда] != '#')
            ++конец_ряда;
        итог.append(адрес, i, конец_ряда - i);
        if (конец_ряда == адрес.size())
            break;
        i = конец_ряда;
        const char c = адрес[i];
        const bool скобка_узла = (c == '[' || c == ']') && i >= начало_узла && i < конец_узла;
        const bool вторая_решётка = c == '#' && во_фрагменте;
        во_фрагменте = во_фрагменте || c == '#';
        if ((разрешённые(c) && !вторая_решётка) || скобка_узла || код_в(адрес, i))
            итог += c;
        else
            дописать_код(итог, c);
    }
    return итог;
}

bool верный_по_rfc3986(const std::string& адрес) {
    UriUriA разобранный;
    const char* ошибка = nullptr;
    const bool верный = uriParseSingleUriA(&разобранный, адрес.c_str(), &ошибка) == URI_SUCCESS;
    if (верный)
        uriFreeUriMembersA(&разобранный);
    return верный;
}

}  // namespace

std::optional<std::string> нормализовать_uri(std::string_view uri) {
    // Leading and trailing controls and spaces go, and so do tabs and line
    // breaks anywhere.
    const auto лишний_по_краям = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!uri.empty() && лишний_по_краям(uri.front()))
        uri.remove_prefix(1);
    while (!uri.empty() && лишний_по_краям(uri.back()))
        uri.remove_suffix(1);
    std::string текст;
    текст.reserve(uri.size());
    static constexpr НаборБайтов разрывы("\t\n\r");
    for (auto i = uri.begin(); i < uri.end();) {
        const auto разрыв = std::find_if(i, uri.end(), разрывы);
        текст.append(i, разрыв);
        i = разрыв + (разрыв < uri.end());
    }

    const auto двоеточие = текст.find(':');
    if (двоеточие == std::string::npos ||
        !верная_схема(std::string_view(текст).substr(0, двоеточие)))
        return std::nullopt;
    const std::string схема = нижний_регистр(std::string_view(текст).substr(0, двоеточие));
    const ОсобаяСхема* особая_схема = особая(схема);

    std::string_view остаток = std::string_view(текст).substr(двоеточие + 1);
    std::optional<std::string_view> запрос, фрагмент;
    if (const auto решётка = остаток.find('#'); решётка != std::string_view::npos) {
        фрагмент = остаток.substr(решётка + 1);
        остаток = остаток.substr(0, решётка);
    }
    if (const auto вопрос = остаток.find('?'); вопрос != std::string_view::npos) {
        запрос = остаток.substr(вопрос + 1);
        остаток = остаток.substr(0, вопрос);
    }
    std::string основа(остаток);
    if (особая_схема)
        std::ranges::replace(основа, '\\', '/');

    auto части = части_адреса(основа, особая_схема);
    if (!части)
        return std::nullopt;

    std::string итог = схема + ":";
    std::size_t начало_узла = 0, конец_узла = 0;
    if (части->полномочия) {
        итог += "//";
        начало_узла = итог.size();
        итог += *части->полномочия;
        конец_узла = итог.size();
    } else if (части->путь.starts_with("//")) {
        итог += "/.";  // keeps the path from reading as an authority
    }
    итог += части->путь;
    if (запрос) {
        итог += '?';
        дописать_закодированное(итог, *запрос, особая_схема ? Набор::особый_запрос : Набор::запрос);
    }
    if (фрагмент) {
        итог += '#';
        дописать_закодированное(итог, *фрагмент, Набор::фрагмент);
    }

    if (!верный_по_rfc3986(для_проверки(итог, начало_узла, конец_узла)))
        return std::nullopt;
    return итог;
}

}  // namespace vokra::lsp
