// Turns SIGTERM, SIGINT and SIGHUP into a call on the UI thread, so that a logout or
// Ctrl+C can close the window in order: a recording finishes, the settings are saved.
#pragma once

#include <functional>

namespace platform {

// Call once, with a QApplication in place.
void OnTerminationSignals(std::function<void()> handler);

}  // namespace platform
