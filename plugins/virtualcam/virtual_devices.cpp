// The in-process entry points: configuration, static registration, the snapshot button.
#include "virtual_devices.h"

#include <gst/gst.h>

#include <mutex>

#include "device_config.h"
#include "plugin_init.h"

namespace virtualcam {

void RegisterStatic() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (!gst_is_initialized()) gst_init(nullptr, nullptr);
    // The module may also sit on the plugin path; its copy of the configuration would
    // not be this one, so the static copy takes its place while that is still possible.
    GstRegistry* registry = gst_registry_get();
    if (GstPlugin* found = gst_registry_find_plugin(registry, OSTREL_VIRTUAL_PLUGIN_NAME)) {
      if (gst_plugin_is_loaded(found)) {
        g_critical(
            "virtual camera: the plugin was already loaded from %s; in-process "
            "configuration will not reach it",
            gst_plugin_get_filename(found) ? gst_plugin_get_filename(found) : "?");
        gst_object_unref(found);
        return;
      }
      gst_registry_remove_plugin(registry, found);
      gst_object_unref(found);
    }
    if (!gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR,
                                    OSTREL_VIRTUAL_PLUGIN_NAME, OSTREL_VIRTUAL_PLUGIN_DESCRIPTION,
                                    ostrel_virtual_plugin_init, "1.0.0", "unknown", "ostrel",
                                    "Ostrel", "https://localhost/ostrel")) {
      g_critical("virtual camera: the plugin could not be registered");
    }
  });
}

void Configure(std::vector<CameraSpec> cameras, std::vector<MicrophoneSpec> microphones) {
  StoreConfiguration(std::move(cameras), std::move(microphones));
  RegisterStatic();
}

void PressSnapshotButton(int cameraIndex) { TriggerLiveCameras(cameraIndex); }

}  // namespace virtualcam
