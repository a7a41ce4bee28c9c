// 8-bit YUV with 4:2:2 or 4:2:0 chroma to 8-bit B,G,R, row by row, with integer arithmetic
// that gives exactly what GStreamer's videoconvert gives: for limited range through 16 bits
// per channel (AYUV64): chroma filled in by its filters, each value widened as v * 257, its
// 16-bit matrix with 8-bit coefficients, and the top byte kept; for full range its 8-bit
// fast matrix after the same filters. No GStreamer here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace media::gst {

// R, G, B (index 0, 1, 2) = clamp((257 * (y*Y + u*U + v*V) + offset) >> 16, 0, 255); with
// eightBit, videoconvert's 8-bit arithmetic for full range instead: each value less 128,
// widened as a signed byte repeated in both halves of 16 bits (s), and
// clamp(hi(s(Y)*y) + hi(s(U)*u) + hi(s(V)*v), -128, 127) + 128, hi the top 16 bits of 32.
struct YuvToRgbMatrix {
  int32_t y[3];
  int32_t u[3];
  int32_t v[3];
  int32_t offset[3];
  bool eightBit = false;
};

// The matrix for limited-range YUV of the colour matrix with luma weights kr and kb,
// rounded as videoconvert rounds its own.
YuvToRgbMatrix LimitedRangeMatrix(double kr, double kb);

// The same for full-range YUV; false where videoconvert would not use its fast 8-bit
// arithmetic for it.
bool FullRangeMatrix(double kr, double kb, YuvToRgbMatrix& matrix);

// Where the chroma samples sit: between two pixels, or on the first of the two; or each
// sample taken for both pixels as it is (videoconvert's own I420 to RGB conversion).
enum class ChromaSiting { kBetween, kCosited, kRepeated };

// One row's samples: Y at y[i * yStep], the i-th chroma pair at u[i * cStep], v[i * cStep].
// With 4:2:0 chroma, u and v are the nearer chroma row and farU, farV the other one that
// the row lies between (the same row at the picture's top and bottom edges).
struct YuvRow {
  const uint8_t* y;
  size_t yStep;
  const uint8_t* u;
  const uint8_t* v;
  size_t cStep;
  const uint8_t* farU = nullptr;
  const uint8_t* farV = nullptr;
};

// The widest vector instructions the rows are converted with, where the processor has them;
// every choice gives the same bytes.
enum class Instructions { kScalar, kSsse3, kAvx2 };

class YuvToBgrRows {
 public:
  // width must be even and at least 2; bytesPerPixel 3 (B,G,R) or 4 (B,G,R,0xFF).
  bool Configure(uint32_t width, const YuvToRgbMatrix& matrix, ChromaSiting siting,
                 int bytesPerPixel, Instructions widest = Instructions::kAvx2);
  void Convert(const YuvRow& row, uint8_t* dst);

 private:
  // One chroma row at full width, from the half row at src.
  void WidenChroma(std::vector<uint8_t>& full, const uint8_t* src, size_t step);
  void UpsampleChroma(std::vector<uint8_t>& full, const uint8_t* half) const;

  uint32_t width_ = 0;
  YuvToRgbMatrix matrix_{};
  ChromaSiting siting_ = ChromaSiting::kBetween;
  int bytesPerPixel_ = 3;
  Instructions instructions_ = Instructions::kScalar;
  // Contiguous rows for the matrix loop: Y and chroma at full width, chroma at half.
  std::vector<uint8_t> y_, u_, v_, half_, far_;
};

}  // namespace media::gst
