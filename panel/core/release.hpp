#pragma once

// The panel's own version and the reading of the release JSON that the
// update check fetches: a few fields taken out by plain text search.

#include <cstdint>
#include <string>
#include <string_view>
#include <tl/expected.hpp>
#include <variant>

namespace vokra::panel {

std::string текущая_версия();

// The release JSON is read up to this many bytes. The service's answer holds
// the tag and the file list well within it; longer notes are cut for the
// screen anyway.
inline constexpr std::size_t НАИБОЛЬШИЙ_ОТВЕТ_РЕЛИЗА = std::size_t{4} << 20;

struct ПолеНеНайдено {};

// The raw text of a string field's value, escapes left as written.
tl::expected<std::string, ПолеНеНайдено> извлечь_json_строковое_поле(std::string_view json,
                                                                     std::string_view имя);

// The raw text between the brackets of an array field.
tl::expected<std::string, ПолеНеНайдено> извлечь_json_массив(std::string_view json,
                                                             std::string_view имя);

// Decodes \n, \", \\ and drops \r; other escapes stay as written.
std::string разэкранировать_json_текст(std::string_view текст);

// "macOS" on Darwin, "Linux" everywhere else.
std::string метка_текущей_платформы();

// The "assets" array mentions the platform label.
bool релиз_содержит_сборку(std::string_view json, std::string_view платформа);
bool релиз_содержит_сборку_для_платформы(std::string_view json);

// What the update check shows: a message dialog, or a newer release with its
// notes.
struct ДиалогРелиза {
    std::int64_t вариант = 0;
    std::string заголовок;
    std::string текст;
};
struct НовыйРелиз {
    std::string версия;
    std::string что_нового;
};
using РешениеОРелизе = std::variant<ДиалогРелиза, НовыйРелиз>;

// The tag and the notes come cut to what the screen can show. `обрезан`: the
// JSON is the start of a longer answer, so a string value that runs to its
// end counts as found, cut short.
РешениеОРелизе решить_о_релизе(std::string_view json, std::string_view версия,
                               std::string_view платформа, bool обрезан = false);

}  // namespace vokra::panel
