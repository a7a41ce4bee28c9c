// PipeWire's device provider, started once more than any watch stops it.
#include "platform/gst/pipewire_provider.h"

#include <gst/gst.h>

#include <mutex>

namespace media::gst {

void KeepPipeWireProviderRunning() {
  static std::once_flag once;
  std::call_once(once, [] {
    // The reference is kept for good: the provider stays started until the process ends.
    GstDeviceProvider* provider = gst_device_provider_factory_get_by_name("pipewiredeviceprovider");
    if (provider && !gst_device_provider_start(provider)) gst_object_unref(provider);
  });
}

}  // namespace media::gst
