// The parameters ResampleRGB24 derives from the four sizes: the method, the steps and the tails.
#pragma once

#include <cstdint>

namespace ostrel::still {

struct ResampleGrid {
  bool box = false;  // box averaging with factor k; otherwise interpolation
  uint32_t k = 0;
  uint64_t xs = 0;  // steps in 1/64 source pixel (interpolation)
  uint64_t ys = 0;
  uint32_t tx = 0;  // output columns and rows at the end that repeat the last computed one
  uint32_t ty = 0;
};

// All four sizes at least 1. Box averaging when both axes shrink by the same whole
// factor; the products are 64-bit so that no size overflows them.
inline ResampleGrid ChooseResampleGrid(uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth,
                                       uint32_t dstHeight) {
  ResampleGrid grid;
  const uint32_t kx = srcWidth / dstWidth;
  const uint32_t ky = srcHeight / dstHeight;
  if (kx == ky && srcWidth % dstWidth == 0 && srcHeight % dstHeight == 0) {
    grid.box = true;
    grid.k = kx;
    return grid;
  }
  grid.xs = uint64_t{srcWidth} * 64 / dstWidth;
  grid.ys = uint64_t{srcHeight} * 64 / dstHeight;
  grid.tx = dstWidth - static_cast<uint32_t>(uint64_t{srcWidth - 1} * dstWidth / srcWidth) - 1;
  grid.ty = dstHeight - static_cast<uint32_t>(uint64_t{srcHeight - 1} * dstHeight / srcHeight) - 1;
  return grid;
}

}  // namespace ostrel::still
