// The stock filters by class identifier: smart tee, sample grabber, renderers, AVI
// multiplexer, file writer and ASF writer; and the video transfer filter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gst/gst_filter.h"

namespace media::gst {

std::shared_ptr<GstFilter> MakeSmartTee();
std::shared_ptr<GstFilter> MakeNullRenderer();
// failAfterBytes > 0 makes a writer that fails as a full disk does once it has written
// that many bytes (a fault switch for tests): the write that does not fit is refused with
// "No space left on device" and every later one too.
std::shared_ptr<GstFilter> MakeFileWriter(uint64_t failAfterBytes = 0);
std::shared_ptr<GstFilter> MakeSampleGrabber();
std::shared_ptr<GstFilter> MakeVideoRenderer();
// avimux indexes about 32 GiB (32 super-index entries of 1 GiB); the writer behind the
// multiplexer goes on in a new file before that. Tests lower it.
constexpr uint64_t kAviClipBytes = 30ull << 30;
std::shared_ptr<GstFilter> MakeAviMux(uint64_t clipBytes = kAviClipBytes);
std::shared_ptr<GstFilter> MakeAsfWriter();
// Null when the transfer filter's plugin is not installed.
std::shared_ptr<GstFilter> MakeTransferFilter();

}  // namespace media::gst
