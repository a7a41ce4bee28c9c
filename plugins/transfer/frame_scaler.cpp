// Brings one RGB24 frame to the output size and pixel format with the project's resampler.
#include "frame_scaler.h"

#include <new>

#include "pixel_rows.h"
#include "still/resample.h"

namespace transfer {

bool FrameScaler::Configure(uint32_t inWidth, uint32_t inHeight, uint32_t outWidth,
                            uint32_t outHeight, PixelFormat outFormat) {
  inWidth_ = inHeight_ = outWidth_ = outHeight_ = 0;
  if (inWidth == 0 || inHeight == 0 || outWidth == 0 || outHeight == 0) return false;
  const bool resamples = inWidth != outWidth || inHeight != outHeight;
  try {
    // Sized once per negotiation; the frames reuse them. Whether a frame's rows are
    // padded is only known per buffer (a video meta may carry any stride).
    packedIn_.resize(resamples ? size_t{3} * inWidth * inHeight : 0);
    packedOut_.resize(resamples ? size_t{3} * outWidth * outHeight : 0);
  } catch (const std::bad_alloc&) {
    packedIn_ = {};
    packedOut_ = {};
    return false;
  }
  inWidth_ = inWidth;
  inHeight_ = inHeight;
  outWidth_ = outWidth;
  outHeight_ = outHeight;
  outFormat_ = outFormat;
  return true;
}

void FrameScaler::Process(const uint8_t* src, size_t srcStride, uint8_t* dst, size_t dstStride) {
  if (inWidth_ == 0) return;
  const size_t inRow = size_t{3} * inWidth_;
  const size_t outRow = size_t{3} * outWidth_;
  if (!Resamples()) {
    // The default preview: no scaling, one pass over the frame.
    if (outFormat_ == PixelFormat::kBgr)
      CopyRows(dst, dstStride, src, srcStride, inRow, inHeight_);
    else
      BgrRowsToBgrx(dst, dstStride, src, srcStride, inWidth_, inHeight_);
    return;
  }
  const uint8_t* packedSrc = src;
  if (srcStride != inRow) {
    CopyRows(packedIn_.data(), inRow, src, srcStride, inRow, inHeight_);
    packedSrc = packedIn_.data();
  }
  if (outFormat_ == PixelFormat::kBgr && dstStride == outRow) {
    ostrel::still::ResampleRGB24(dst, packedSrc, inWidth_, inHeight_, outWidth_, outHeight_);
    return;
  }
  ostrel::still::ResampleRGB24(packedOut_.data(), packedSrc, inWidth_, inHeight_, outWidth_,
                               outHeight_);
  if (outFormat_ == PixelFormat::kBgr)
    CopyRows(dst, dstStride, packedOut_.data(), outRow, outRow, outHeight_);
  else
    BgrRowsToBgrx(dst, dstStride, packedOut_.data(), outRow, outWidth_, outHeight_);
}

}  // namespace transfer
