// Media types to and from GStreamer caps; frame rates to and from frame times.
#pragma once

#include <gst/gst.h>

#include "platform/media.h"

namespace media::gst {

// The media type of fixed caps. topDownRgb: the device reports RGB images top-down,
// which the media type tells with a negative height.
MediaType MediaTypeFromCaps(const GstCaps* caps, bool topDownRgb = false);

// Caps for a type's subtype alone (no size, no rate); null for a type with no caps.
GstCaps* CapsForSubtype(const MediaType& type);

// Fixed caps for a video type: subtype, width, height made positive and, when
// avgTimePerFrame is set, the frame rate; null when the subtype has no caps.
GstCaps* CapsForVideoType(const MediaType& type, gint fpsNum, gint fpsDen);

// The frame rate closest to a frame time that one of the offered caps allows.
// Returns false when none of the offered structures of this format allows it.
bool ChooseFrameRate(const GstCaps* offered, const GstCaps* withoutRate, int64_t avgTimePerFrame,
                     gint& num, gint& den);

// 100 ns units per frame for a rate; 0 for a missing or zero rate.
int64_t FrameTimeOf(gint num, gint den);

// Video (video/x-raw, image/*), audio (audio/*) or neither.
MajorType MajorOfCaps(const GstCaps* caps);

}  // namespace media::gst
