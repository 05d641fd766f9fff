#pragma once

namespace vokra::panel {

// The whole life of the panel: window, frame loop, and return status.
int главная();

}  // namespace vokra::panel
