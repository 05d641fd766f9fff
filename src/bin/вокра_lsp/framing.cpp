#include "вокра_lsp/framing.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <istream>
#include <ostream>

#include "вокра_lsp/jsonrpc.hpp"
#include "вокра_lsp/messages.hpp"

namespace vokra::lsp {

namespace {

// The body is read in chunks of this size, so a claimed length that the
// input does not back never allocates more than has actually arrived.
constexpr std::size_t кусок = 64 * 1024;

// A quoted header line shows this many characters at most.
constexpr std::size_t показать_символов = 200;

bool равны_без_регистра(std::string_view а, std::string_view б) {
    return std::ranges::equal(а, б, [](char x, char y) {
        auto нижний = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return нижний(x) == нижний(y);
    });
}

std::optional<std::size_t> длина(std::string_view значение) {
    if (значение.empty() ||
        !std::ranges::all_of(значение, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::size_t число = 0;
    const auto [конец, код] =
        std::from_chars(значение.data(), значение.data() + значение.size(), число);
    if (код != std::errc{} || конец != значение.data() + значение.size())
        return std::nullopt;
    return число;
}

enum class КонецСтроки { перевод_строки, конец_ввода, слишком_длинная };

// A header line in a buffer of the limit's size, so that reading the
// headers allocates nothing.
struct СтрокаЗаголовка {
    std::array<char, предел_строки_заголовка> байты;
    std::size_t длина = 0;

    std::string_view текст() const { return {байты.data(), длина}; }
};

// Reads one line, without its line feed, into `строка`; a line longer than
// the limit is cut there, so a client that never ends its header cannot make
// the server buffer it.
КонецСтроки прочитать_строку(std::istream& вход, СтрокаЗаголовка& строка) {
    строка.длина = 0;
    for (;;) {
        const auto знак = вход.get();
        if (знак == std::istream::traits_type::eof())
            return КонецСтроки::конец_ввода;
        if (знак == '\n')
            return КонецСтроки::перевод_строки;
        if (строка.длина == предел_строки_заголовка)
            return КонецСтроки::слишком_длинная;
        строка.байты[строка.длина++] = static_cast<char>(знак);
    }
}

// The start of a header line as quoted in a message: at most
// `показать_символов` code points, never cut inside one.
std::string для_показа(std::string_view строка) {
    std::size_t символов = 0;
    for (std::size_t i = 0; i < строка.size(); ++i) {
        const bool начало_символа = (static_cast<unsigned char>(строка[i]) & 0xC0) != 0x80;
        if (начало_символа && символов++ == показать_символов)
            return fmt::format(сообщения::начало_строки, строка.substr(0, i));
    }
    return std::string(строка);
}

}  // namespace

tl::expected<std::optional<std::size_t>, std::string> прочитать_заголовки(std::istream& вход) {
    std::optional<std::size_t> заявлено;
    СтрокаЗаголовка прочитанная;
    for (bool первая = true;; первая = false) {
        const auto конец = прочитать_строку(вход, прочитанная);
        std::string_view строка = прочитанная.текст();
        if (вход.bad())
            return tl::unexpected(fmt::format(сообщения::ошибка_чтения));
        if (конец == КонецСтроки::слишком_длинная)
            return tl::unexpected(fmt::format(сообщения::длинный_заголовок, предел_строки_заголовка,
                                              для_показа(строка)));
        if (конец == КонецСтроки::конец_ввода) {
            if (первая && строка.empty())
                return std::nullopt;
            if (строка.empty())
                return tl::unexpected(fmt::format(сообщения::обрыв_заголовков));
            return tl::unexpected(fmt::format(сообщения::неверный_заголовок, для_показа(строка)));
        }
        if (!строка.ends_with('\r'))
            return tl::unexpected(fmt::format(сообщения::неверный_заголовок, для_показа(строка)));
        строка.remove_suffix(1);
        if (строка.empty())
            break;
        const auto разделитель = строка.find(": ");
        if (разделитель == std::string_view::npos)
            return tl::unexpected(fmt::format(сообщения::неверный_заголовок, для_показа(строка)));
        if (равны_без_регистра(строка.substr(0, разделитель), "Content-Length")) {
            заявлено = длина(строка.substr(разделитель + 2));
            if (!заявлено)
                return tl::unexpected(
                    fmt::format(сообщения::неверный_заголовок, для_показа(строка)));
        }
    }
    if (!заявлено)
        return tl::unexpected(fmt::format(сообщения::нет_длины));
    return заявлено;
}

tl::expected<void, std::string> прочитать_байты(std::istream& вход, std::size_t длина,
                                                std::string& тело) {
    while (тело.size() < длина) {
        const std::size_t было = тело.size();
        const std::size_t ещё = std::min(кусок, длина - было);
        тело.resize(было + ещё);
        вход.read(тело.data() + было, static_cast<std::streamsize>(ещё));
        тело.resize(было + static_cast<std::size_t>(вход.gcount()));
        if (вход.bad())
            return tl::unexpected(fmt::format(сообщения::ошибка_чтения));
        if (тело.size() < было + ещё)
            return tl::unexpected(fmt::format(сообщения::короткое_тело, длина));
    }
    тело.reserve(тело.size() + запас_после_тела);
    return {};
}

tl::expected<void, std::string> пропустить_байты(std::istream& вход, std::size_t сколько,
                                                 std::size_t длина) {
    while (сколько > 0) {
        const std::size_t шаг = std::min<std::size_t>(сколько, std::size_t{1} << 30);
        вход.ignore(static_cast<std::streamsize>(шаг));
        if (вход.bad())
            return tl::unexpected(fmt::format(сообщения::ошибка_чтения));
        if (static_cast<std::size_t>(вход.gcount()) < шаг)
            return tl::unexpected(fmt::format(сообщения::короткое_тело, длина));
        сколько -= шаг;
    }
    return {};
}

tl::expected<std::optional<std::string>, std::string> прочитать_тело(std::istream& вход) {
    auto длина = прочитать_заголовки(вход);
    if (!длина)
        return tl::unexpected(std::move(длина.error()));
    if (!*длина)
        return std::nullopt;
    std::string тело;
    if (auto прочитано = прочитать_байты(вход, **длина, тело); !прочитано)
        return tl::unexpected(std::move(прочитано.error()));
    return тело;
}

bool записать_тело(std::ostream& выход, std::string_view тело) {
    выход << "Content-Length: " << тело.size() << "\r\n\r\n";
    выход.write(тело.data(), static_cast<std::streamsize>(тело.size()));
    выход.flush();
    return static_cast<bool>(выход);
}

}  // namespace vokra::lsp
