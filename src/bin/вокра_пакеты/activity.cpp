#include "вокра_пакеты/activity.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <string_view>

namespace vokra::пакеты {

namespace {

// A short file of /proc, up to the size of the buffer; empty when it cannot
// be read.
std::string_view прочитать(const char* путь, char (&буфер)[1024]) {
    const int файл = ::open(путь, O_RDONLY | O_CLOEXEC);
    if (файл < 0)
        return {};
    const ssize_t прочитано = ::read(файл, буфер, sizeof буфер);
    ::close(файл);
    return прочитано > 0 ? std::string_view(буфер, static_cast<std::size_t>(прочитано))
                         : std::string_view();
}

template <typename Число>
std::optional<Число> число(std::string_view текст) {
    Число значение{};
    const auto [конец, ошибка] =
        std::from_chars(текст.data(), текст.data() + текст.size(), значение);
    if (ошибка != std::errc() || конец == текст.data())
        return std::nullopt;
    return значение;
}

// The process group in /proc/N/stat: the fifth field, the third after the
// command name, which may itself hold spaces and brackets but ends at the
// last ')'.
std::optional<pid_t> группа_процесса(std::string_view stat) {
    const auto скобка = stat.rfind(')');
    if (скобка == std::string_view::npos)
        return std::nullopt;
    std::string_view поля = stat.substr(скобка + 1);
    for (int поле = 0; поле < 3; ++поле) {
        const auto пробел = поля.find(' ');
        if (пробел == std::string_view::npos)
            return std::nullopt;
        поля.remove_prefix(пробел + 1);
    }
    return число<pid_t>(поля.substr(0, поля.find(' ')));
}

std::uint64_t значение(std::string_view io, std::string_view ключ) {
    const auto начало = io.find(ключ);
    if (начало == std::string_view::npos)
        return 0;
    return число<std::uint64_t>(io.substr(начало + ключ.size())).value_or(0);
}

}  // namespace

std::optional<ВводВывод> ввод_вывод_группы(pid_t группа) {
    const std::unique_ptr<DIR, int (*)(DIR*)> процессы(::opendir("/proc"), ::closedir);
    if (!процессы)
        return std::nullopt;
    ВводВывод итог;
    char буфер[1024];
    char путь[64];
    while (const dirent* запись = ::readdir(процессы.get())) {
        const auto номер = число<pid_t>(запись->d_name);
        if (!номер)
            continue;
        std::snprintf(путь, sizeof путь, "/proc/%d/stat", *номер);
        if (группа_процесса(прочитать(путь, буфер)) != группа)
            continue;
        ++итог.процессов;
        std::snprintf(путь, sizeof путь, "/proc/%d/io", *номер);
        const std::string_view io = прочитать(путь, буфер);
        итог.байтов += значение(io, "rchar: ") + значение(io, "wchar: ");
    }
    return итог;
}

}  // namespace vokra::пакеты
