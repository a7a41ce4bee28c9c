// The horizontal grid, its gather tables and the per-row dispatch between scalar and SIMD code.
#include "still/resample_plan.h"

#include <cstring>

namespace ostrel::still::detail {
namespace {

inline uint8_t Mix(uint32_t a, uint32_t b, uint32_t f) {
  return static_cast<uint8_t>((a * (64 - f) + b * f + 32) >> 6);
}

// Splits one chunk's 16 source byte indices into 16-byte windows and writes its tables.
void PlanChunk(HorizontalPlan& plan, int k) {
  uint64_t index[16];
  for (int i = 0; i < kChunkBytes; ++i) {
    const uint64_t o = static_cast<uint64_t>(k) * kChunkBytes + i;
    const uint64_t pos = (o / 3) * plan.step;
    const uint64_t left = 3 * (pos >> 6) + o % 3;
    const uint32_t f = static_cast<uint32_t>(pos & 63);
    index[2 * i] = left;
    // Without weight the right pixel is not read: at the row's end it does not exist.
    index[2 * i + 1] = f ? left + 3 : left;
    plan.weight[k][2 * i] = static_cast<int8_t>(64 - f);
    plan.weight[k][2 * i + 1] = static_cast<int8_t>(f);
  }
  bool assigned[16] = {};
  int windows = 0;
  for (;;) {
    uint64_t start = UINT64_MAX;
    for (int j = 0; j < 16; ++j) {
      if (!assigned[j] && index[j] < start) start = index[j];
    }
    if (start == UINT64_MAX) break;
    plan.windowOffset[k][windows] = static_cast<size_t>(start);
    for (int j = 0; j < 16; ++j) {
      if (!assigned[j] && index[j] < start + 16) {
        plan.mask[k][windows][j] = static_cast<uint8_t>(index[j] - start);
        assigned[j] = true;
      } else {
        plan.mask[k][windows][j] = 0x80;  // zero, filled by another window
      }
    }
    ++windows;
  }
  plan.windows[k] = static_cast<uint8_t>(windows);
  if (windows > 1) plan.singleWindow = false;
}

void PlanQuads(HorizontalPlan& plan) {
  for (int q = 0; q < kChunks / 4; ++q) {
    for (int r = 0; r < 2; ++r) {
      const int lo = 4 * q + r;
      std::memcpy(plan.quadMask[q][r], plan.mask[lo][0], 16);
      std::memcpy(plan.quadMask[q][r] + 16, plan.mask[lo + 2][0], 16);
      std::memcpy(plan.quadWeight[q][r], plan.weight[lo], 16);
      std::memcpy(plan.quadWeight[q][r] + 16, plan.weight[lo + 2], 16);
    }
  }
}

// Counts the leading chunks whose windows stay inside the source row and whose output
// lies before the repeated tail.
size_t CountSimdChunks(const HorizontalPlan& plan) {
  const uint64_t rowBytes = 3ull * plan.srcWidth;
  const uint64_t computedBytes = 3ull * (plan.lastColumn + 1ull);
  size_t count = 0;
  uint64_t base = 0;
  for (;;) {
    for (int k = 0; k < kChunks; ++k, ++count) {
      if (static_cast<uint64_t>(count + 1) * kChunkBytes > computedBytes) return count;
      for (int w = 0; w < plan.windows[k]; ++w) {
        if (base + plan.windowOffset[k][w] + 16 > rowBytes) return count;
      }
    }
    base += plan.periodAdvance;
  }
}

void HorizontalScalar(const HorizontalPlan& plan, const uint8_t* src, uint8_t* line,
                      uint32_t fromX) {
  uint64_t pos = fromX * plan.step;
  uint8_t* out = line + 3 * static_cast<size_t>(fromX);
  for (uint64_t x = fromX; x <= plan.lastColumn; ++x, pos += plan.step, out += 3) {
    const uint8_t* a = src + 3 * (pos >> 6);
    const uint32_t f = static_cast<uint32_t>(pos & 63);
    const uint8_t* b = f ? a + 3 : a;
    out[0] = Mix(a[0], b[0], f);
    out[1] = Mix(a[1], b[1], f);
    out[2] = Mix(a[2], b[2], f);
  }
  for (uint64_t x = plan.lastColumn + 1ull; x < plan.dstWidth; ++x, out += 3) {
    std::memcpy(out, out - 3, 3);
  }
}

}  // namespace

void BuildHorizontalPlan(HorizontalPlan& plan, uint32_t srcWidth, uint32_t dstWidth,
                         bool withSimd) {
  plan.srcWidth = srcWidth;
  plan.dstWidth = dstWidth;
  plan.step = static_cast<uint64_t>(srcWidth) * 64 / dstWidth;
  plan.lastColumn =
      static_cast<uint32_t>(static_cast<uint64_t>(srcWidth - 1) * dstWidth / srcWidth);
  plan.simdChunks = 0;
  if (!withSimd) return;
  plan.periodAdvance = static_cast<size_t>(3 * plan.step);
  plan.singleWindow = true;
  for (int k = 0; k < kChunks; ++k) PlanChunk(plan, k);
  if (plan.singleWindow) PlanQuads(plan);
  plan.simdChunks = CountSimdChunks(plan);
}

void HorizontalRow(SimdLevel level, const HorizontalPlan& plan, const uint8_t* srcRow,
                   uint8_t* line) {
  size_t chunks = 0;
  if (level >= SimdLevel::kAvx2 && plan.singleWindow && plan.simdChunks >= 4) {
    chunks = plan.simdChunks & ~size_t{3};
    HorizontalAvx2(plan, srcRow, line, chunks);
  } else if (level >= SimdLevel::kSsse3 && plan.simdChunks >= 2) {
    chunks = plan.simdChunks & ~size_t{1};
    HorizontalSsse3(plan, srcRow, line, chunks);
  }
  // The scalar pass restarts at the pixel the SIMD part ended in.
  HorizontalScalar(plan, srcRow, line, static_cast<uint32_t>(chunks * kChunkBytes / 3));
}

void BlendRows(SimdLevel level, uint8_t* out, const uint8_t* cur, const uint8_t* next, size_t bytes,
               uint32_t g, bool streaming) {
  if (level >= SimdLevel::kAvx2 && bytes >= 32) {
    BlendAvx2(out, cur, next, bytes, g, streaming);
  } else if (level >= SimdLevel::kSse2 && bytes >= 16) {
    BlendSse2(out, cur, next, bytes, g, streaming);
  } else {
    for (size_t j = 0; j < bytes; ++j) out[j] = Mix(cur[j], next[j], g);
  }
}

size_t Box2RowSimd(SimdLevel level, uint8_t* out, const uint8_t* row0, const uint8_t* row1,
                   uint32_t dstWidth) {
  if (level < SimdLevel::kSsse3) return 0;
  return Box2Ssse3(out, row0, row1, 3 * static_cast<size_t>(dstWidth));
}

}  // namespace ostrel::still::detail
