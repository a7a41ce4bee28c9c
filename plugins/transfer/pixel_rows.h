// Row-wise pixel copies between strided frames and packed 3-byte or 4-byte pixel rows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace transfer {

// Copies `rows` rows of `rowBytes` bytes each between buffers of different strides.
void CopyRows(uint8_t* dst, size_t dstStride, const uint8_t* src, size_t srcStride, size_t rowBytes,
              uint32_t rows);

// Turns `width` 3-byte pixels B,G,R into 4-byte pixels B,G,R,0xFF (a 32-bit 0xFFRRGGBB on a
// little-endian machine).
void BgrRowToBgrx(uint8_t* dst, const uint8_t* src, uint32_t width);

// BgrRowToBgrx for `rows` rows between strided buffers.
void BgrRowsToBgrx(uint8_t* dst, size_t dstStride, const uint8_t* src, size_t srcStride,
                   uint32_t width, uint32_t rows);

}  // namespace transfer
