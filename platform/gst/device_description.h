// What a GStreamer device's provider tells of it, for choosing among its copies.
#pragma once

#include <gst/gst.h>

#include "platform/media.h"

namespace media::gst {

DeviceDescription DescribeDevice(GstDevice* device);

}  // namespace media::gst
