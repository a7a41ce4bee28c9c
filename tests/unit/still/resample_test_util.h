// Helpers of the resampler tests: images, the levels to run and the library call.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "still/resample_simd.h"

namespace ostrel::still::testing {

// Every level this CPU runs, scalar first.
inline std::vector<SimdLevel> LevelsToTest() {
  std::vector<SimdLevel> levels;
  for (int l = 0; l <= static_cast<int>(DetectedSimdLevel()); ++l) {
    levels.push_back(static_cast<SimdLevel>(l));
  }
  return levels;
}

inline std::string LevelName(SimdLevel level) {
  static const char* const names[] = {"scalar", "sse2", "ssse3", "avx2"};
  return names[static_cast<int>(level)];
}

// An image whose three bytes per pixel all hold the given one-byte values.
inline std::vector<uint8_t> Gray(const std::vector<uint8_t>& values) {
  std::vector<uint8_t> image;
  for (uint8_t v : values) image.insert(image.end(), {v, v, v});
  return image;
}

inline std::vector<uint8_t> RandomImage(size_t pixels, std::mt19937& rng) {
  std::vector<uint8_t> image(pixels * 3);
  for (auto& b : image) b = static_cast<uint8_t>(rng());
  return image;
}

// The library at one level, into a buffer of exactly the output size (so that ASan
// sees any write past it).
inline std::vector<uint8_t> Resample(SimdLevel level, const std::vector<uint8_t>& src, uint32_t sw,
                                     uint32_t sh, uint32_t dw, uint32_t dh) {
  std::vector<uint8_t> out(size_t{dw} * dh * 3, 0xA5);
  ResampleRGB24AtLevel(level, out.data(), src.data(), sw, sh, dw, dh);
  return out;
}

}  // namespace ostrel::still::testing
