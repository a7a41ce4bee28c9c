// Row-wise pixel copies between strided frames and packed pixel rows.
#include "pixel_rows.h"

#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace transfer {
namespace {

#if defined(__SSE2__)
// Four pixels per shuffle: each 16-byte load holds 12 bytes of B,G,R and reads 4 past
// them, so the loop stops two pixels short of the row's end and the rest go one by one.
__attribute__((target("ssse3"))) uint32_t BgrToBgrxSsse3(uint8_t* dst, const uint8_t* src,
                                                         uint32_t width) {
  const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  uint32_t x = 0;
  for (; x + 6 <= width; x += 4, src += 12, dst += 16) {
    const __m128i bgr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                     _mm_or_si128(_mm_shuffle_epi8(bgr, spread), opaque));
  }
  return x;
}

bool HaveSsse3() {
  static const bool have = __builtin_cpu_supports("ssse3");
  return have;
}
#endif

}  // namespace

void CopyRows(uint8_t* dst, size_t dstStride, const uint8_t* src, size_t srcStride, size_t rowBytes,
              uint32_t rows) {
  if (dstStride == rowBytes && srcStride == rowBytes) {
    std::memcpy(dst, src, rowBytes * rows);
    return;
  }
  for (uint32_t y = 0; y < rows; ++y)
    std::memcpy(dst + y * dstStride, src + y * srcStride, rowBytes);
}

void BgrRowToBgrx(uint8_t* dst, const uint8_t* src, uint32_t width) {
  uint32_t x = 0;
#if defined(__SSE2__)
  if (HaveSsse3()) {
    x = BgrToBgrxSsse3(dst, src, width);
    src += 3 * x;
    dst += 4 * x;
  }
#endif
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  // Four pixels from three 32-bit loads: the preview pays this on every frame.
  constexpr uint32_t kOpaque = 0xFF000000u;
  for (; x + 4 <= width; x += 4, src += 12, dst += 16) {
    uint32_t a, b, c;
    std::memcpy(&a, src, 4);
    std::memcpy(&b, src + 4, 4);
    std::memcpy(&c, src + 8, 4);
    const uint32_t out[4] = {a | kOpaque, (a >> 24) | (b << 8) | kOpaque,
                             (b >> 16) | (c << 16) | kOpaque, (c >> 8) | kOpaque};
    std::memcpy(dst, out, 16);
  }
#endif
  for (; x < width; ++x, src += 3, dst += 4) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
    dst[3] = 0xFF;
  }
}

void BgrRowsToBgrx(uint8_t* dst, size_t dstStride, const uint8_t* src, size_t srcStride,
                   uint32_t width, uint32_t rows) {
  for (uint32_t y = 0; y < rows; ++y) BgrRowToBgrx(dst + y * dstStride, src + y * srcStride, width);
}

}  // namespace transfer
