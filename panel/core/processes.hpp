#pragma once

// The shells of the panel's tasks. Each one leads a process group of its
// own, so that it and everything it starts can be ended together, and it is
// waited for only after that: while a leader is not waited for, the number
// of its group cannot pass to any other process.

#include <sys/types.h>

#include <string>
#include <tl/expected.hpp>

namespace vokra::panel {

// Starts `/bin/sh -c текст` as the leader of a new process group, with
// standard input, output and error on /dev/null and `журнал` and `метка` as
// its descriptors 3 and 4. The error is the errno of the start.
tl::expected<pid_t, int> запустить_в_своей_группе(const std::string& текст, int журнал, int метка);

// Ends the whole group of `лидер`: TERM, at most 200 ms for the leader to
// end, then KILL, and at most 200 ms more for the leader to be waited for.
// True once it was; otherwise it is still to be waited for.
bool закончить_группу(pid_t лидер);

// Waits for the leader if it has ended, without waiting for it to end; true
// once it was waited for (or is no child of the panel).
bool дождаться_если_закончился(pid_t лидер);

}  // namespace vokra::panel
