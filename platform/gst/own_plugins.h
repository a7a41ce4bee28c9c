// The GStreamer plugins that come with Ostrel, found beside its executable: in the
// build tree and in an installed prefix, without any environment variable.
#pragma once

#include <string>
#include <vector>

namespace media::gst {

// The existing folders that may hold Ostrel's plugins, for the executable at that
// path: <bin>/../lib/ostrel/gstreamer-1.0 when installed, <build>/plugins in the build tree.
std::vector<std::string> OwnPluginFolders(const std::string& executable);

// Adds the plugins of those folders to GStreamer's registry (after gst_init);
// plugins already known from GStreamer's own plugin path are kept. Returns the
// folders it scanned.
std::vector<std::string> RegisterOwnPlugins(const std::string& executable);

}  // namespace media::gst
