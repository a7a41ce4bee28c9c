// The caps a virtual camera offers, and the pixel layout that a negotiated caps means.
#pragma once

#include <gst/gst.h>

#include "test_pattern.h"
#include "virtual_devices.h"

namespace virtualcam {

// Every format a virtual camera can make (the pad templates).
GstCaps* AllCameraCaps();

// One structure per offered format, in the configured order: only the first format when
// the camera refuses formats; each format's own rate when it refuses frame rates,
// otherwise any rate from 1 to 60.
GstCaps* CameraCaps(const CameraSpec& spec);

// The configured rate for the format a caps structure names, or 30 when it names none.
int NativeRate(const CameraSpec& spec, const GstStructure* s);

// The raw layout of fixed caps; MJPG frames are drawn as I420 first. False for caps
// the camera does not make.
bool LayoutForCaps(const GstCaps* caps, PixelLayout* layout, bool* jpeg);

}  // namespace virtualcam
