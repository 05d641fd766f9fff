// Whether a group of processes still does anything, by the kernel's
// counters of what its processes read and write.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vokra::пакеты {

struct ВводВывод {
    // Bytes read and written by any means (files, pipes, sockets), summed
    // over the processes.
    std::uint64_t байтов = 0;
    std::size_t процессов = 0;

    bool operator==(const ВводВывод&) const = default;
};

// What the processes of the group have read and written so far; none where
// /proc does not tell. Two readings differ whenever one of them did anything,
// started or ended.
std::optional<ВводВывод> ввод_вывод_группы(pid_t группа);

}  // namespace vokra::пакеты
