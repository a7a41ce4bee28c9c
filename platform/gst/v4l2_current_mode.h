// The mode a V4L2 camera's driver holds as current: what VIDIOC_G_FMT and VIDIOC_G_PARM
// report (a UVC camera's default until someone changes it).
#pragma once

#include <cstdint>
#include <string>

namespace media::v4l2 {

struct CurrentMode {
  uint32_t fourcc = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  // Frames per second as a fraction; 0/0 when the driver does not say.
  uint32_t rateNum = 0;
  uint32_t rateDen = 0;
};

// False when the node cannot be opened or has no capture format.
bool ReadCurrentMode(const std::string& node, CurrentMode& mode);

}  // namespace media::v4l2
