// Fuzzes ResampleRGB24 with arbitrary sizes: it must stay inside both buffers and agree at
// every instruction-set level.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "still/resample_simd.h"

using ostrel::still::ResampleRGB24AtLevel;
using ostrel::still::SimdLevel;

namespace {

uint32_t Size(const uint8_t* p) {
  // Mostly sizes below 64, where 1-pixel axes and odd ratios are common; sometimes up to 1023.
  const uint32_t v = p[0] | p[1] << 8;
  return (v & 0x8000) ? (v & 0x03FF) : (v & 0x3F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  const uint32_t sw = Size(data), sh = Size(data + 2), dw = Size(data + 4), dh = Size(data + 6);
  data += 8;
  size -= 8;
  const size_t srcBytes = size_t{sw} * sh * 3;
  const size_t dstBytes = size_t{dw} * dh * 3;
  if (srcBytes > (1u << 20) || dstBytes > (1u << 20)) return 0;
  // Exactly sized heap buffers, so that ASan sees any access past either end.
  std::vector<uint8_t> src(srcBytes);
  for (size_t i = 0; i < srcBytes; ++i) src[i] = size ? data[i % size] : uint8_t(i * 37);
  std::vector<uint8_t> first;
  const int best = static_cast<int>(ostrel::still::DetectedSimdLevel());
  for (int level = 0; level <= best; ++level) {
    std::vector<uint8_t> dst(dstBytes, 0xA5);
    ResampleRGB24AtLevel(static_cast<SimdLevel>(level), dst.data(), src.data(), sw, sh, dw, dh);
    if (level == 0) {
      first = std::move(dst);
    } else if (dst != first) {
      std::abort();  // the levels must give the same bytes
    }
  }
  return 0;
}
