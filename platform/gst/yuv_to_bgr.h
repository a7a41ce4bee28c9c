// An element that turns 8-bit YUV with 4:2:2 or 4:2:0 chroma into BGR or BGRx with the same
// values as videoconvert (for limited range: its route through 16 bits per channel), in one
// cheap pass.
// It passes its input on untouched until it is told which output to make.
#pragma once

#include <gst/gst.h>
#include <gst/video/video.h>

namespace media::gst {

// A new element; its "output" property (a GstVideoFormat) is GST_VIDEO_FORMAT_UNKNOWN
// (pass through), BGR or BGRx. Set it before the caps it applies to arrive.
GstElement* MakeYuvToBgr();

// True when the element converts these caps (fixed raw video) into `format` with the values
// videoconvert gives.
bool YuvToBgrTakes(GstCaps* caps, GstVideoFormat format);

// The caps the element makes from `caps` for `format` (BGR or BGRx): the colorimetry is
// what videoconvert gives its RGB output. Caller owns the result.
GstCaps* YuvToBgrOutputCaps(GstCaps* caps, GstVideoFormat format);

}  // namespace media::gst
