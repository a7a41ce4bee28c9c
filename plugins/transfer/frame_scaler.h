// Brings one RGB24 frame to the output size and pixel format, reusing its scratch buffers.
// The picture keeps its shape: it is scaled to the largest size of its aspect ratio that
// the output holds and centred, with black bars around it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace transfer {

enum class PixelFormat { kBgr, kBgrx };

class FrameScaler {
 public:
  // Sets the sizes and the output format of the frames to come and sizes the scratch
  // buffers for them. False when a size is 0 or the buffers cannot be had.
  bool Configure(uint32_t inWidth, uint32_t inHeight, uint32_t outWidth, uint32_t outHeight,
                 PixelFormat outFormat);

  // Converts one input frame (B,G,R pixels, rows `srcStride` bytes apart) into `dst`
  // (rows `dstStride` bytes apart). Does nothing before a successful Configure.
  void Process(const uint8_t* src, size_t srcStride, uint8_t* dst, size_t dstStride);

  bool Resamples() const { return inWidth_ != picWidth_ || inHeight_ != picHeight_; }

  // The largest width x height of the input's shape inside the output, to the nearest pixel.
  static void FitInside(uint32_t inWidth, uint32_t inHeight, uint32_t outWidth, uint32_t outHeight,
                        uint32_t& width, uint32_t& height);

 private:
  bool Letterboxed() const { return picWidth_ != outWidth_ || picHeight_ != outHeight_; }
  // Writes the packed B,G,R picture into the middle of the output and blackens the rest.
  void WriteLetterboxed(const uint8_t* picture, uint8_t* dst, size_t dstStride);

  uint32_t inWidth_ = 0, inHeight_ = 0, outWidth_ = 0, outHeight_ = 0;
  uint32_t picWidth_ = 0, picHeight_ = 0;  // the scaled picture inside the output
  PixelFormat outFormat_ = PixelFormat::kBgrx;
  // The resampler wants packed rows on both sides; frames with padded rows go through these.
  std::vector<uint8_t> packedIn_;
  std::vector<uint8_t> packedOut_;
};

}  // namespace transfer
