// Puts a captured stream on the recording graph's own timeline before a rate keeper or an
// encoder, whatever clock the source stamps its buffers with.
#pragma once

#include <gst/gst.h>

namespace media::gst {

// The longest gap a rate keeper fills in one go; the rest of a longer stall is left out
// of the clip (logged), so no source can make the writer run away.
constexpr GstClockTime kMaxFilledGap = 5 * GST_SECOND;

// Watches the buffers entering `pad` (a rate keeper's or an encoder's input): each is
// restamped in the graph's running time, and a source whose timestamps are off the
// graph's clock (PipeWire's, a camera's own, a jump) is anchored at the buffer's arrival,
// so the clip starts at 0 and never pads more than the real gap. `what` names the stream
// in the log.
void KeepOnGraphTimeline(GstPad* pad, const char* what);

}  // namespace media::gst
