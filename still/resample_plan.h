// The horizontal pass of the interpolating resampler: its 1/64 grid and the SIMD gather tables.
#pragma once

#include <cstddef>
#include <cstdint>

#include "still/resample_simd.h"

namespace ostrel::still::detail {

// Output pixel x reads source pixels p = (x * step) >> 6 and p + 1 with fraction
// (x * step) & 63. Pixel x + 64 reads p + step with the same fraction, so one period of
// 64 output pixels (24 chunks of 8 output bytes) describes a whole row: each chunk
// gathers its (left, right) byte pairs from at most kMaxWindows 16-byte source windows.
constexpr int kPeriodPixels = 64;
constexpr int kChunkBytes = 8;
constexpr int kChunks = kPeriodPixels * 3 / kChunkBytes;
constexpr int kMaxWindows = 4;

struct HorizontalPlan {
  uint32_t srcWidth = 0;
  uint32_t dstWidth = 0;
  uint64_t step = 0;        // source pixels per output pixel, in 1/64
  uint32_t lastColumn = 0;  // last computed output column; the columns after it repeat it

  // Gather tables for the SIMD kernels; simdChunks leading chunks of a row may use them
  // (their windows lie inside the source row and their output before the repeated tail).
  size_t simdChunks = 0;
  size_t periodAdvance = 0;  // source bytes per period: 3 * step
  bool singleWindow = true;
  uint8_t windows[kChunks] = {};
  size_t windowOffset[kChunks][kMaxWindows] = {};
  alignas(32) uint8_t mask[kChunks][kMaxWindows][16] = {};
  alignas(32) int8_t weight[kChunks][16] = {};
  // The same tables for 32-byte registers when every chunk has one window: quad q holds
  // chunks 4q and 4q+2 in register 0, chunks 4q+1 and 4q+3 in register 1.
  alignas(32) uint8_t quadMask[kChunks / 4][2][32] = {};
  alignas(32) int8_t quadWeight[kChunks / 4][2][32] = {};
};

// Fills the grid of a row of srcWidth pixels resampled to dstWidth; the gather tables only
// when withSimd (they cost a pass over the row's chunks).
void BuildHorizontalPlan(HorizontalPlan& plan, uint32_t srcWidth, uint32_t dstWidth, bool withSimd);

// Resamples one source row into line (dstWidth x 3 bytes).
void HorizontalRow(SimdLevel level, const HorizontalPlan& plan, const uint8_t* srcRow,
                   uint8_t* line);

// out[j] = (cur[j] * (64 - g) + next[j] * g + 32) >> 6 for j < bytes, g in 0..64.
// streaming writes around the caches (for outputs far larger than them).
void BlendRows(SimdLevel level, uint8_t* out, const uint8_t* cur, const uint8_t* next, size_t bytes,
               uint32_t g, bool streaming);

// Box average with k = 2: each output byte is the truncated mean of a 2 x 2 block.
// Returns the number of leading output bytes of the row it computed (the rest is the
// caller's); rows are dstWidth x 3 bytes.
size_t Box2RowSimd(SimdLevel level, uint8_t* out, const uint8_t* row0, const uint8_t* row1,
                   uint32_t dstWidth);

// The x86 kernels (resample_x86.cpp); each needs its level.
void HorizontalSsse3(const HorizontalPlan& plan, const uint8_t* src, uint8_t* line, size_t chunks);
void HorizontalAvx2(const HorizontalPlan& plan, const uint8_t* src, uint8_t* line, size_t chunks);
void BlendSse2(uint8_t* out, const uint8_t* cur, const uint8_t* next, size_t bytes, uint32_t g,
               bool streaming);
void BlendAvx2(uint8_t* out, const uint8_t* cur, const uint8_t* next, size_t bytes, uint32_t g,
               bool streaming);
size_t Box2Ssse3(uint8_t* out, const uint8_t* row0, const uint8_t* row1, size_t outBytes);
void StoreFence();

}  // namespace ostrel::still::detail
