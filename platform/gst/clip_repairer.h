// The repair of unfinished clips on GStreamer: the clip's own demuxer into a fresh muxer
// of the same container, every stream copied as it is.
#pragma once

#include "platform/media.h"

namespace media::gst {

class GstClipRepairer : public ClipRepairer {
 public:
  ClipRepair Remux(const std::string& clip, ClipContainer container,
                   const std::string& output) override;
};

}  // namespace media::gst
