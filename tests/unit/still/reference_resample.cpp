// A plain, step-by-step transcription of the resampling method: the yardstick of the fast one.
#include "reference_resample.h"

#include <algorithm>
#include <utility>

namespace ostrel::still::testing {

void ReferenceResample(const std::vector<uint8_t>& src, uint32_t sw, uint32_t sh, uint32_t dw,
                       uint32_t dh, std::vector<uint8_t>& out) {
  out.resize(size_t{dw} * dh * 3);
  auto at = [&](uint32_t row, uint32_t pixel, uint32_t c) -> uint32_t {
    row = std::min(row, sh - 1);
    pixel = std::min(pixel, sw - 1);
    return src[(size_t{row} * sw + pixel) * 3 + c];
  };

  // Box averaging when both axes shrink by the same whole number.
  const uint32_t kx = sw / dw;
  const uint32_t ky = sh / dh;
  if (kx == ky && sw % dw == 0 && sh % dh == 0) {
    const uint32_t k = kx;
    for (uint32_t y = 0; y < dh; ++y) {
      for (uint32_t x = 0; x < dw; ++x) {
        for (uint32_t c = 0; c < 3; ++c) {
          uint32_t sum = 0;
          for (uint32_t r = y * k; r < y * k + k; ++r) {
            for (uint32_t p = x * k; p < x * k + k; ++p) sum += at(r, p, c);
          }
          out[(size_t{y} * dw + x) * 3 + c] = static_cast<uint8_t>((sum / k) / k);
        }
      }
    }
    return;
  }

  // Interpolation.
  const uint32_t xs = (sw * 64) / dw;
  const uint32_t ys = (sh * 64) / dh;
  const uint32_t tx = dw - ((sw - 1) * dw) / sw - 1;
  const uint32_t ty = dh - ((sh - 1) * dh) / sh - 1;
  const size_t lineBytes = size_t{dw} * 3;

  auto resampleRow = [&](uint32_t row, uint8_t* line) {
    if (xs == 64) {
      for (uint32_t x = 0; x < dw; ++x) {
        for (uint32_t c = 0; c < 3; ++c) line[x * 3 + c] = static_cast<uint8_t>(at(row, x, c));
      }
      return;
    }
    uint32_t p = 0;
    uint32_t f = 0;
    for (uint32_t x = 0; x < dw - tx; ++x) {
      while (f > 64) {
        ++p;
        f -= 64;
      }
      for (uint32_t c = 0; c < 3; ++c) {
        line[x * 3 + c] =
            static_cast<uint8_t>((at(row, p, c) * (64 - f) + at(row, p + 1, c) * f + 32) >> 6);
      }
      f += xs;
    }
    for (uint32_t x = dw - tx; x < dw; ++x) {
      for (uint32_t c = 0; c < 3; ++c) line[x * 3 + c] = line[(x - 1) * 3 + c];
    }
  };

  std::vector<uint8_t> current(lineBytes);
  std::vector<uint8_t> next(lineBytes);
  resampleRow(0, current.data());
  resampleRow(1, next.data());
  std::copy(current.begin(), current.end(), out.begin());

  uint32_t g = ys;
  uint32_t i = 0;
  uint32_t sourceRow = 0;
  for (uint32_t r = 1; r < dh - ty; ++r) {
    uint8_t* outRow = out.data() + r * lineBytes;
    if (ys == 64) {
      ++sourceRow;
      resampleRow(sourceRow, outRow);
      continue;
    }
    uint32_t moved = 0;
    while (g > 64) {
      ++i;
      g -= 64;
      ++moved;
    }
    if (moved == 1) {
      std::swap(current, next);
      resampleRow(i + 1, next.data());
    } else if (moved >= 2) {
      resampleRow(i, current.data());
      resampleRow(i + 1, next.data());
    }
    for (size_t j = 0; j < lineBytes; ++j) {
      outRow[j] = static_cast<uint8_t>((current[j] * (64 - g) + next[j] * g + 32) >> 6);
    }
    g += ys;
  }
  for (uint32_t r = dh - ty; r < dh; ++r) {
    std::copy_n(out.data() + (r - 1) * lineBytes, lineBytes, out.data() + r * lineBytes);
  }
}

}  // namespace ostrel::still::testing
