// Which of the devices the providers report are listed: each device once, through the
// provider that serves it best, and nothing that cannot capture.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/media.h"

namespace capture {

// The positions of the devices to list, in their order. Left out: elements without a
// source pad, sound outputs' monitors and applications' streams; a camera's PipeWire
// copy when V4L2 lists its node (its controls, still pin and button need the node); an
// ALSA device whose card a sound server lists; the PipeWire copy of a sound server's
// source of the same name.
std::vector<size_t> DevicesToList(const std::vector<media::DeviceDescription>& devices);

}  // namespace capture
