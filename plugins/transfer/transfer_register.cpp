// Registers the ostreltransfer GStreamer plugin inside this process.
#include "transfer_register.h"

#include <mutex>

#include "transfer_plugin.h"

namespace transfer {

void RegisterStatic() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (!gst_is_initialized()) gst_init(nullptr, nullptr);
    GstRegistry* registry = gst_registry_get();
    if (GstPlugin* found = gst_registry_find_plugin(registry, OSTREL_TRANSFER_PLUGIN_NAME)) {
      // A module loaded from the plugin path is the same element; keep it. One only
      // listed there would be loaded on first use, so the static copy takes its place.
      const bool loaded = gst_plugin_is_loaded(found);
      if (!loaded) gst_registry_remove_plugin(registry, found);
      gst_object_unref(found);
      if (loaded) return;
    }
    if (!gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR,
                                    OSTREL_TRANSFER_PLUGIN_NAME, OSTREL_TRANSFER_PLUGIN_DESCRIPTION,
                                    ostrel_transfer_plugin_init, "1.0.0", "unknown", "ostrel",
                                    "Ostrel", "https://localhost/ostrel")) {
      g_critical("transfer filter: the plugin could not be registered");
    }
  });
}

}  // namespace transfer
