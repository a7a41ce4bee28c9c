// ResampleRGB24: chooses box averaging or interpolation and walks the output rows.
#include "still/resample.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "still/resample_grid.h"
#include "still/resample_plan.h"
#include "still/resample_simd.h"

namespace ostrel::still {
namespace {

using detail::BlendRows;
using detail::HorizontalPlan;
using detail::HorizontalRow;

// Outputs larger than this are written with streaming stores: they would only evict the
// caches (a 5120 x 3840 still is 59 MB), and the stores skip reading the lines first.
constexpr size_t kStreamingBytes = size_t{8} << 20;

// Truncating division by d = k * k without a divide instruction, for sums below 2^24:
// (sum * m) >> 40 with m = 2^40 / d + 1 is exact while d < 2^16.
struct DivideBySquare {
  explicit DivideBySquare(uint64_t k) : d(k * k) {
    if ((d & (d - 1)) == 0) {
      shift = 0;
      while ((uint64_t{1} << shift) < d) ++shift;
    } else if (d < (1u << 16)) {
      multiplier = (uint64_t{1} << 40) / d + 1;
    }
  }
  uint64_t operator()(uint64_t sum) const {
    if (shift >= 0) return sum >> shift;
    if (multiplier) return (sum * multiplier) >> 40;
    return sum / d;  // blocks of 256 x 256 pixels and more: the summing dominates anyway
  }
  uint64_t d;
  int shift = -1;
  uint64_t multiplier = 0;
};

// Each output byte is the mean of a k x k block of source bytes, rounded down. Sums are
// 64-bit so that even blocks beyond 4104 x 4104 pixels average correctly.
void BoxAverage(SimdLevel level, uint8_t* dst, const uint8_t* src, uint32_t srcWidth,
                uint32_t dstWidth, uint32_t dstHeight, uint32_t k) {
  const size_t srcStride = size_t{3} * srcWidth;
  const size_t dstStride = size_t{3} * dstWidth;
  if (k == 1) {
    std::memcpy(dst, src, dstStride * dstHeight);
    return;
  }
  const DivideBySquare divide(k);
  for (size_t y = 0; y < dstHeight; ++y) {
    const uint8_t* top = src + y * k * srcStride;
    uint8_t* out = dst + y * dstStride;
    size_t x = 0;
    if (k == 2) x = detail::Box2RowSimd(level, out, top, top + srcStride, dstWidth) / 3;
    for (; x < dstWidth; ++x) {
      uint64_t sum[3] = {0, 0, 0};
      const uint8_t* block = top + 3 * x * k;
      for (uint32_t r = 0; r < k; ++r, block += srcStride) {
        const uint8_t* p = block;
        for (uint32_t c = 0; c < k; ++c, p += 3) {
          sum[0] += p[0];
          sum[1] += p[1];
          sum[2] += p[2];
        }
      }
      out[3 * x] = static_cast<uint8_t>(divide(sum[0]));
      out[3 * x + 1] = static_cast<uint8_t>(divide(sum[1]));
      out[3 * x + 2] = static_cast<uint8_t>(divide(sum[2]));
    }
  }
}

// Separable interpolation on the 1/64 grid. Output row r lies at r * ys / 64 source rows:
// it blends the current line (source row i resampled horizontally) and the next line
// (row i + 1) with the fraction g. Rows after lastRow repeat it.
void Interpolate(SimdLevel level, uint8_t* dst, const uint8_t* src, uint32_t srcWidth,
                 uint32_t srcHeight, uint32_t dstWidth, uint32_t dstHeight) {
  HorizontalPlan plan;
  detail::BuildHorizontalPlan(plan, srcWidth, dstWidth, level >= SimdLevel::kSsse3);
  const bool scaleX = plan.step != 64;
  const ResampleGrid grid = ChooseResampleGrid(srcWidth, srcHeight, dstWidth, dstHeight);
  const uint64_t ys = grid.ys;
  const bool scaleY = ys != 64;
  const uint32_t lastRow = dstHeight - 1 - grid.ty;
  const size_t srcStride = size_t{3} * srcWidth;
  const size_t lineBytes = size_t{3} * dstWidth;
  // A one-row source has no row 1: the last row stands in for the rows past it.
  auto sourceRow = [&](uint64_t i) {
    return src + std::min<uint64_t>(i, srcHeight - 1) * srcStride;
  };
  auto outRow = [&](uint64_t r) { return dst + r * lineBytes; };

  if (!scaleY) {
    // Here dstHeight <= srcHeight and no row repeats: row r is source row r.
    for (uint32_t r = 0; r < dstHeight; ++r) {
      if (scaleX) {
        HorizontalRow(level, plan, sourceRow(r), outRow(r));
      } else {
        std::memcpy(outRow(r), sourceRow(r), lineBytes);
      }
    }
    return;
  }

  std::unique_ptr<uint8_t[]> storage;
  uint8_t* curBuf = nullptr;
  uint8_t* nextBuf = nullptr;
  const uint8_t* cur;
  const uint8_t* next;
  auto loadLines = [&](uint64_t i, bool reuseNext) {
    if (!scaleX) {
      cur = sourceRow(i);
      next = sourceRow(i + 1);
      return;
    }
    if (reuseNext) {
      std::swap(curBuf, nextBuf);
    } else {
      HorizontalRow(level, plan, sourceRow(i), curBuf);
    }
    HorizontalRow(level, plan, sourceRow(i + 1), nextBuf);
    cur = curBuf;
    next = nextBuf;
  };
  if (scaleX) {
    storage.reset(new (std::nothrow) uint8_t[2 * lineBytes]);
    if (!storage) return;
    curBuf = storage.get();
    nextBuf = curBuf + lineBytes;
  }
  loadLines(0, false);

  const bool streaming = level >= SimdLevel::kSse2 && lineBytes * dstHeight >= kStreamingBytes;
  // Row 0 is the current line itself: fraction 0.
  BlendRows(level, outRow(0), cur, next, lineBytes, 0, streaming);
  uint64_t g = ys;
  uint64_t i = 0;
  uint32_t lastG = 0;
  for (uint32_t r = 1; r <= lastRow; ++r) {
    // Advance while g > 64 (not >= 64): a row on source row i + 1 takes the next line whole.
    if (g > 64) {
      const uint64_t advance = (g - 1) >> 6;
      g -= advance << 6;
      i += advance;
      loadLines(i, advance == 1);
    }
    lastG = static_cast<uint32_t>(g);
    BlendRows(level, outRow(r), cur, next, lineBytes, lastG, streaming);
    g += ys;
  }
  for (uint64_t r = uint64_t{lastRow} + 1; r < dstHeight; ++r) {
    BlendRows(level, outRow(r), cur, next, lineBytes, lastG, streaming);
  }
  if (streaming) detail::StoreFence();
}

SimdLevel Detect() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return SimdLevel::kAvx2;
  if (__builtin_cpu_supports("ssse3")) return SimdLevel::kSsse3;
  if (__builtin_cpu_supports("sse2")) return SimdLevel::kSse2;
#endif
  return SimdLevel::kScalar;
}

}  // namespace

SimdLevel DetectedSimdLevel() {
  static const SimdLevel level = Detect();
  return level;
}

void ResampleRGB24AtLevel(SimdLevel level, uint8_t* dst, const uint8_t* src, uint32_t srcWidth,
                          uint32_t srcHeight, uint32_t dstWidth, uint32_t dstHeight) {
  if (srcWidth == 0 || srcHeight == 0 || dstWidth == 0 || dstHeight == 0) return;
  level = std::min(level, DetectedSimdLevel());
  const ResampleGrid grid = ChooseResampleGrid(srcWidth, srcHeight, dstWidth, dstHeight);
  if (grid.box) {
    BoxAverage(level, dst, src, srcWidth, dstWidth, dstHeight, grid.k);
  } else {
    Interpolate(level, dst, src, srcWidth, srcHeight, dstWidth, dstHeight);
  }
}

void ResampleRGB24(uint8_t* dst, const uint8_t* src, uint32_t srcWidth, uint32_t srcHeight,
                   uint32_t dstWidth, uint32_t dstHeight) {
  ResampleRGB24AtLevel(DetectedSimdLevel(), dst, src, srcWidth, srcHeight, dstWidth, dstHeight);
}

}  // namespace ostrel::still
