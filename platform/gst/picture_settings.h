// A capture device's picture settings, kept per camera by the application.
#pragma once

#include <memory>

#include "platform/gst/device_filter.h"

namespace media::gst {

// A V4L2 camera's every control through its node (what its filter page shows); any
// other camera's picture properties; null for a device with neither.
std::shared_ptr<PictureSettings> MakePictureSettings(std::shared_ptr<GstDeviceFilter> filter);

}  // namespace media::gst
