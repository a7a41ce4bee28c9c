// Brings one RGB24 frame to the output size and pixel format with the project's resampler.
#include "frame_scaler.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "pixel_rows.h"
#include "still/resample.h"

namespace transfer {

bool FrameScaler::Configure(uint32_t inWidth, uint32_t inHeight, uint32_t outWidth,
                            uint32_t outHeight, PixelFormat outFormat) {
  inWidth_ = inHeight_ = outWidth_ = outHeight_ = picWidth_ = picHeight_ = 0;
  if (inWidth == 0 || inHeight == 0 || outWidth == 0 || outHeight == 0) return false;
  uint32_t picWidth = 0;
  uint32_t picHeight = 0;
  FitInside(inWidth, inHeight, outWidth, outHeight, picWidth, picHeight);
  const bool resamples = inWidth != picWidth || inHeight != picHeight;
  const bool letterboxed = picWidth != outWidth || picHeight != outHeight;
  try {
    // Sized once per negotiation; the frames reuse them. Whether a frame's rows are
    // padded is only known per buffer (a video meta may carry any stride).
    packedIn_.resize(resamples || letterboxed ? size_t{3} * inWidth * inHeight : 0);
    packedOut_.resize(resamples ? size_t{3} * picWidth * picHeight : 0);
  } catch (const std::bad_alloc&) {
    packedIn_ = {};
    packedOut_ = {};
    return false;
  }
  inWidth_ = inWidth;
  inHeight_ = inHeight;
  outWidth_ = outWidth;
  outHeight_ = outHeight;
  picWidth_ = picWidth;
  picHeight_ = picHeight;
  outFormat_ = outFormat;
  return true;
}

void FrameScaler::FitInside(uint32_t inWidth, uint32_t inHeight, uint32_t outWidth,
                            uint32_t outHeight, uint32_t& width, uint32_t& height) {
  width = height = 0;
  if (inWidth == 0 || inHeight == 0 || outWidth == 0 || outHeight == 0) return;
  const uint64_t byWidth = (uint64_t{outWidth} * inHeight * 2 + inWidth) / (uint64_t{2} * inWidth);
  if (byWidth <= outHeight) {
    width = outWidth;
    height = static_cast<uint32_t>(std::max<uint64_t>(1, byWidth));
  } else {
    height = outHeight;
    width = static_cast<uint32_t>(std::max<uint64_t>(
        1, (uint64_t{outHeight} * inWidth * 2 + inHeight) / (uint64_t{2} * inHeight)));
    width = std::min(width, outWidth);
  }
}

void FrameScaler::WriteLetterboxed(const uint8_t* picture, uint8_t* dst, size_t dstStride) {
  const size_t pixel = outFormat_ == PixelFormat::kBgr ? 3 : 4;
  const uint32_t top = (outHeight_ - picHeight_) / 2;
  const uint32_t left = (outWidth_ - picWidth_) / 2;
  const size_t picRow = size_t{3} * picWidth_;
  // Black: zero bytes, and an opaque x byte in BGRx.
  auto blacken = [&](uint8_t* p, uint32_t pixels) {
    if (pixel == 3) {
      std::memset(p, 0, size_t{3} * pixels);
      return;
    }
    for (uint32_t i = 0; i < pixels; ++i, p += 4) {
      p[0] = p[1] = p[2] = 0;
      p[3] = 0xFF;
    }
  };
  for (uint32_t y = 0; y < outHeight_; ++y) {
    uint8_t* row = dst + dstStride * y;
    if (y < top || y >= top + picHeight_) {
      blacken(row, outWidth_);
      continue;
    }
    const uint8_t* src = picture + picRow * (y - top);
    blacken(row, left);
    if (pixel == 3)
      std::memcpy(row + 3 * size_t{left}, src, picRow);
    else
      BgrRowToBgrx(row + 4 * size_t{left}, src, picWidth_);
    blacken(row + pixel * (size_t{left} + picWidth_), outWidth_ - left - picWidth_);
  }
}

void FrameScaler::Process(const uint8_t* src, size_t srcStride, uint8_t* dst, size_t dstStride) {
  if (inWidth_ == 0) return;
  const size_t inRow = size_t{3} * inWidth_;
  const size_t outRow = size_t{3} * outWidth_;
  if (!Resamples() && !Letterboxed()) {
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
  if (Letterboxed()) {
    const uint8_t* picture = packedSrc;
    if (Resamples()) {
      ostrel::still::ResampleRGB24(packedOut_.data(), packedSrc, inWidth_, inHeight_, picWidth_,
                                   picHeight_);
      picture = packedOut_.data();
    }
    WriteLetterboxed(picture, dst, dstStride);
    return;
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
