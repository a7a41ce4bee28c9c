// Registers the ostreltransfer GStreamer plugin inside this process.
#pragma once

namespace transfer {

// Registers the plugin statically in this process; idempotent. Initialises GStreamer when
// the caller has not. Afterwards the element factory "ostreltransfer" exists.
void RegisterStatic();

}  // namespace transfer
