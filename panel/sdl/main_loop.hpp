#pragma once

namespace vokra::panel {

// The whole life of the panel: window, frame loop until the window closes.
// Returns 0, or 1 when no window or renderer can be made (after printing
// SDL's reason on standard error).
int главная();

}  // namespace vokra::panel
