// ResampleRGB24: brings an image of 3-byte pixels to another size (box average or 1/64
// interpolation).
#pragma once

#include <cstdint>

namespace ostrel::still {

// Converts src (srcWidth x srcHeight pixels of 3 bytes, rows packed without padding) into dst
// (dstWidth x dstHeight pixels, same layout). When both axes shrink by the same whole factor
// the pixels are box averaged; otherwise they are interpolated on a grid of 1/64 pixel and the
// last columns and rows repeat the last computed ones. Any size of 0 returns without touching
// either buffer; an axis of 1 pixel counts as that pixel repeated. If the two line buffers of
// the interpolation cannot be allocated, dst is left unwritten.
void ResampleRGB24(uint8_t* dst, const uint8_t* src, uint32_t srcWidth, uint32_t srcHeight,
                   uint32_t dstWidth, uint32_t dstHeight);

}  // namespace ostrel::still
