// The repair of unfinished clips on GStreamer: the clip's own demuxer into a fresh muxer
// of the same container, every stream copied as it is.
#pragma once

#include <atomic>

#include "platform/media.h"

namespace media::gst {

class GstClipRepairer : public ClipRepairer {
 public:
  ClipRepair Remux(const std::string& clip, ClipContainer container,
                   const std::string& output) override;
  void Cancel() override { cancelled_ = true; }

 private:
  std::atomic<bool> cancelled_{false};
};

}  // namespace media::gst
