// The capture device's own snapshot button: the V4L2 node's event device, watched while
// the filter exists, fires the still pin.
#include <gst/gst.h>


#include "platform/gst/device_filter.h"
#include "platform/linux/camera_button_lookup.h"
#include "platform/linux/camera_button_watcher.h"

namespace media::gst {

namespace {

// The /dev/videoN a V4L2 source reads; empty for any other source.
std::string V4l2Node(GstElement* source, GstDevice* device) {
  std::string node = V4l2NodeOf(source);
  if (node.empty()) {
    if (GstStructure* props = gst_device_get_properties(device)) {
      for (const char* key : {"api.v4l2.path", "device.path"}) {
        const gchar* value = gst_structure_get_string(props, key);
        if (node.empty() && value && g_str_has_prefix(value, "/dev/video")) node = value;
      }
      gst_structure_free(props);
    }
  }
  return node;
}

}  // namespace

void GstDeviceFilter::WatchOwnButton(const SystemRoots& roots) {
  if (major_ != MajorType::Video || !still_) return;
  const std::string node = V4l2Node(source_, device_);
  if (node.empty()) return;
  const std::vector<std::string> events =
      platform::CameraButtonEventDevices(node, roots.sysfs, roots.dev);
  if (!events.empty()) WatchButton(events);
}

void GstDeviceFilter::WatchButton(const std::vector<std::string>& eventDevices) {
  button_.reset();
  if (!still_ || eventDevices.empty()) return;
  button_ =
      std::make_unique<platform::CameraButtonWatcher>(eventDevices, [this] { OnButtonPressed(); });
}

// On the watcher's thread. A press while nothing takes the still pin (the camera is
// listed but not previewed) would only leave a stale request behind.
void GstDeviceFilter::OnButtonPressed() {
  if (still_ && gst_pad_is_linked(still_->Pad())) FireStill();
}

}  // namespace media::gst
