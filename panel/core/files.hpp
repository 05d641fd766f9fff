#pragma once

// Whole-file reading and writing for the panel's small files: the version
// file of an installation and the files of a background task.

#include <string>
#include <string_view>
#include <tl/expected.hpp>

namespace vokra::panel {

// The whole file; the error is the errno of the open or read that failed
// (a folder fails with EISDIR, so it never reads as an empty file).
tl::expected<std::string, int> прочитать_файл(const std::string& путь);

// At most the first `предел` bytes of the file, each line of it kept only up
// to its first `длина_строки` bytes (its line feed stays), for files whose
// writer the panel does not control: a line without end costs no more than
// `длина_строки`, and the lines after it are still read. Errors as for
// `прочитать_файл`.
tl::expected<std::string, int> прочитать_начало_файла(const std::string& путь, std::size_t предел,
                                                      std::size_t длина_строки = std::string::npos);

// Creates or truncates the file with mode 0600 and writes all of the text.
// The error is the errno of the step that failed (EIO for a short write).
tl::expected<void, int> записать_файл(const std::string& путь, std::string_view текст);

// True for an existing folder (symbolic links followed).
bool это_папка(const std::string& путь);

}  // namespace vokra::panel
