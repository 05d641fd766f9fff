#pragma once

// The shell script bodies of the panel's actions. Each builder only makes
// text; the task machinery runs it. Every inserted path is quoted for the
// place it stands in.

#include <string>
#include <string_view>

namespace vokra::panel {

// The text to put between single quotes: ' becomes '\''.
std::string для_одинарных_кавычек(std::string_view текст);
// The text to put between double quotes: \ before ", $, ` and \.
std::string для_двойных_кавычек(std::string_view текст);

// A folder whose PATH line can be written safely: no control character and
// none of ", $, ` and \, nor the colon that would split it into other
// (possibly relative) PATH entries.
bool папка_годится_для_path(std::string_view папка);

// The line written into the start-up files for the folder `bin`.
std::string строка_path(std::string_view bin);

// One shell line each, without a final line feed.
std::string команда_добавить_в_path(std::string_view bin);
std::string команда_убрать_из_path(std::string_view bin);

// Lines that set PANEL_DIR to the folder of the running panel program when
// it is known (`глобальная_папка_программы`); else to the folder of a
// running panel process found by name, else ".".
std::string определить_папку_панели();

std::string тело_установки(std::string_view папка);
std::string тело_удаления(std::string_view папка);
std::string тело_сборки(std::string_view папка);
std::string тело_пакетов(std::string_view папка);
// Fetches the latest release's JSON into the file `json`.
std::string тело_обновлений(std::string_view json);
// The same for the running task's json file.
std::string тело_обновлений();
std::string тело_документации();
std::string тело_выбора_папки();

// The line that opens the latest release's web page in the background.
std::string строка_страницы_релиза();

}  // namespace vokra::panel
