// How a multiplexer and the file writer behind it share the work of a recording. The
// multiplexer keeps its inputs' streams in step and says which muxer writes them; the
// writer (a splitmuxsink) muxes them into files of its own and, once a file reaches
// the multiplexer's clip size, finishes it and goes on in the next one, so no file
// grows past what its format can index. The pin link between the two carries no data:
// each stream goes through a link of its own.
#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/media.h"

namespace media::gst {

struct ClipStream {
  GstPad* pad = nullptr;  // the multiplexer's output of the stream (borrowed)
  MajorType major = MajorType::Video;
};

// The writer's side: told of the streams that come and go while it is attached.
class ClipStreamReceiver {
 public:
  virtual ~ClipStreamReceiver() = default;
  virtual bool AddStream(const ClipStream& stream) = 0;
  virtual void RemoveStream(GstPad* pad) = 0;
};

// The multiplexer's side.
class ClipStreams {
 public:
  virtual ~ClipStreams() = default;
  // A new (floating) muxer for the writer; null when the element is missing.
  virtual GstElement* MakeMuxer() const = 0;
  // The size at which the writer goes on in a new file.
  virtual uint64_t ClipBytes() const = 0;
  virtual std::vector<ClipStream> Streams() const = 0;
  // Null detaches; the receiver must stay alive while it is attached.
  virtual void SetReceiver(ClipStreamReceiver* receiver) = 0;
};

}  // namespace media::gst
