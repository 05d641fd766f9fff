#pragma once

// Reading and writing the panel's small files: the version file of an
// installation and the files of a background task. Only regular files are
// read, and they are opened without waiting, so that a FIFO or a device in
// a file's place never stops the frame loop.

#include <string>
#include <string_view>
#include <tl/expected.hpp>

namespace vokra::panel {

// An open file descriptor, closed when its owner ends.
struct Дескриптор {
    int номер = -1;

    Дескриптор() = default;
    explicit Дескриптор(int н) : номер(н) {}
    Дескриптор(Дескриптор&& другой) noexcept : номер(другой.номер) { другой.номер = -1; }
    Дескриптор& operator=(Дескриптор&& другой) noexcept;
    Дескриптор(const Дескриптор&) = delete;
    Дескриптор& operator=(const Дескриптор&) = delete;
    ~Дескриптор();

    bool открыт() const { return номер >= 0; }
};

// The whole file; the error is the errno of the open or read that failed.
// A folder fails with EISDIR and anything else that is not a regular file
// with EINVAL, so neither reads as an empty file.
tl::expected<std::string, int> прочитать_файл(const std::string& путь);

// At most the first `предел` bytes of the file, each line of it kept only up
// to its first `длина_строки` bytes (its line feed stays), for files whose
// writer the panel does not control: a line without end costs no more than
// `длина_строки`, and the lines after it are still read. With lines cut, at
// most 16 times `предел` bytes are read in all. Errors as for `прочитать_файл`.
tl::expected<std::string, int> прочитать_начало_файла(const std::string& путь, std::size_t предел,
                                                      std::size_t длина_строки = std::string::npos);

// The same for a file that is already open, read from its start whatever its
// offset, so that one descriptor can be read again and again.
tl::expected<std::string, int> прочитать_начало_открытого(
    int файл, std::size_t предел, std::size_t длина_строки = std::string::npos);

// Writes all of the text to the descriptor; the error is the errno of the
// write that failed (EIO for a write of nothing).
tl::expected<void, int> записать_всё(int файл, std::string_view текст);

// Creates or truncates the file with mode 0600 and writes all of the text.
// The error is the errno of the step that failed (EIO for a short write).
tl::expected<void, int> записать_файл(const std::string& путь, std::string_view текст);

// True for an existing folder (symbolic links followed).
bool это_папка(const std::string& путь);

}  // namespace vokra::panel
