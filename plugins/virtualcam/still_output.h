// The element that owns a virtual camera's still pad: the camera's stream source pushes
// triggered frames through it, so that each pad has an element of its own.
#pragma once

#include <gst/gst.h>

G_BEGIN_DECLS

#define OSTREL_TYPE_STILL_OUTPUT (ostrel_still_output_get_type())
G_DECLARE_FINAL_TYPE(OstrelStillOutput, ostrel_still_output, OSTREL, STILL_OUTPUT, GstElement)

G_END_DECLS

// The "src" pad (borrowed).
GstPad* ostrel_still_output_pad(OstrelStillOutput* self);

// True once after each (re)link or start: the branch behind needs a GAP to preroll.
gboolean ostrel_still_output_take_gap_request(OstrelStillOutput* self);

// The latency the still pad reports, one frame of the capture stream.
void ostrel_still_output_set_latency(OstrelStillOutput* self, GstClockTime latency);
