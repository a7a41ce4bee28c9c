// Test helpers: runs BGR test video through ostreltransfer and reads frames back packed.
#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <string>
#include <vector>

namespace transfer_test {

// One frame with its padding removed: rows of width * bytesPerPixel bytes.
struct PackedFrame {
  int width = 0;
  int height = 0;
  std::string format;
  int bytesPerPixel = 0;
  std::vector<uint8_t> bytes;
};

// The frame of a sample, or an empty frame (width 0) when its caps or memory are unreadable.
PackedFrame Unpack(GstSample* sample);

// The input and output of one frame of `pattern` at width x height BGR through the filter.
struct FramePair {
  PackedFrame in;
  PackedFrame out;
  bool sameBuffer = false;  // the output is the input buffer itself
};

// outFormat empty: the filter chooses; otherwise appsink asks for that format.
FramePair RunOneFrame(int width, int height, unsigned outWidth, unsigned outHeight,
                      const std::string& outFormat = "", const char* pattern = "snow");

// ResampleRGB24 applied to a packed BGR frame.
std::vector<uint8_t> Resampled(const PackedFrame& in, int outWidth, int outHeight);

// The picture as the filter letterboxes it: Resampled to the largest size of its shape inside
// outWidth x outHeight, centred, black around it.
std::vector<uint8_t> Letterboxed(const PackedFrame& in, int outWidth, int outHeight);

// The B,G,R bytes of a packed BGRx frame, and whether every x byte is 0xFF.
std::vector<uint8_t> DropPadding(const PackedFrame& bgrx, bool* padIsOpaque);

}  // namespace transfer_test
