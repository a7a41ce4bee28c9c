// The colour space converter of intelligent connect: videoconvert, with a detour through
// 16 bits per channel for limited-range YUV, whose 8-bit matrix in videoconvert is off
// by up to five levels (a grey of 191 comes out as 188).
#pragma once

#include <gst/gst.h>

namespace media::gst {

// The name a converter chain uses for it.
inline constexpr const char* kColourConverter = "ostrel-colourconvert";

// A bin with one sink and one src pad; honours the colorimetry the upstream caps declare.
GstElement* MakeColourConverter();

}  // namespace media::gst
