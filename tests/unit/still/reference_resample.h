// A plain, step-by-step transcription of the resampling method: the yardstick of the fast one.
#pragma once

#include <cstdint>
#include <vector>

namespace ostrel::still::testing {

// Resamples src (srcWidth x srcHeight pixels of 3 bytes) the slow, obvious way, with
// 32-bit arithmetic throughout. A 1-pixel axis reads its one pixel (or row) where the
// method would look one further.
void ReferenceResample(const std::vector<uint8_t>& src, uint32_t srcWidth, uint32_t srcHeight,
                       uint32_t dstWidth, uint32_t dstHeight, std::vector<uint8_t>& out);

inline std::vector<uint8_t> ReferenceResample(const std::vector<uint8_t>& src, uint32_t srcWidth,
                                              uint32_t srcHeight, uint32_t dstWidth,
                                              uint32_t dstHeight) {
  std::vector<uint8_t> out;
  ReferenceResample(src, srcWidth, srcHeight, dstWidth, dstHeight, out);
  return out;
}

}  // namespace ostrel::still::testing
