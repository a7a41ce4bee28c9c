// Draws the virtual camera's picture straight into a frame of any raw pixel layout.
#include "test_pattern.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace virtualcam {
namespace {

struct Yuv {
  uint8_t y, u, v;
};

// BT.601; limited range is what the raw YUV formats of a webcam carry.
Yuv ToYuv(Rgb c, bool fullRange) {
  if (fullRange) {
    const int y = (77 * c.r + 150 * c.g + 29 * c.b + 128) >> 8;
    const int u = ((-43 * c.r - 85 * c.g + 128 * c.b + 128) >> 8) + 128;
    const int v = ((128 * c.r - 107 * c.g - 21 * c.b + 128) >> 8) + 128;
    return {static_cast<uint8_t>(std::clamp(y, 0, 255)),
            static_cast<uint8_t>(std::clamp(u, 0, 255)),
            static_cast<uint8_t>(std::clamp(v, 0, 255))};
  }
  const int y = ((66 * c.r + 129 * c.g + 25 * c.b + 128) >> 8) + 16;
  const int u = ((-38 * c.r - 74 * c.g + 112 * c.b + 128) >> 8) + 128;
  const int v = ((112 * c.r - 94 * c.g - 18 * c.b + 128) >> 8) + 128;
  return {static_cast<uint8_t>(y), static_cast<uint8_t>(u), static_cast<uint8_t>(v)};
}

// 5x7 digits, one byte per row, bit 4 is the leftmost column.
const uint8_t kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

constexpr int kCounterDigits = 6;

void FillPacked422(const Canvas& c, int x0, int y0, int x1, int y1, Yuv p, bool yFirst) {
  x0 &= ~1;
  x1 = std::min((x1 + 1) & ~1, c.width & ~1);
  if (x1 <= x0) return;
  uint8_t quad[4];
  if (yFirst) {
    quad[0] = p.y, quad[1] = p.u, quad[2] = p.y, quad[3] = p.v;
  } else {
    quad[0] = p.u, quad[1] = p.y, quad[2] = p.v, quad[3] = p.y;
  }
  uint32_t word;
  std::memcpy(&word, quad, 4);
  for (int y = y0; y < y1; ++y) {
    uint8_t* row = c.plane[0] + static_cast<std::ptrdiff_t>(y) * c.stride[0] + x0 * 2;
    for (int x = x0; x < x1; x += 2, row += 4) std::memcpy(row, &word, 4);
  }
}

void FillRgb(const Canvas& c, int x0, int y0, int x1, int y1, Rgb p, int bpp) {
  const uint8_t px[4] = {p.b, p.g, p.r, 0xFF};
  for (int y = y0; y < y1; ++y) {
    uint8_t* row = c.plane[0] + static_cast<std::ptrdiff_t>(y) * c.stride[0] + x0 * bpp;
    if (bpp == 4) {
      uint32_t word;
      std::memcpy(&word, px, 4);
      for (int x = x0; x < x1; ++x, row += 4) std::memcpy(row, &word, 4);
    } else {
      for (int x = x0; x < x1; ++x, row += 3) row[0] = px[0], row[1] = px[1], row[2] = px[2];
    }
  }
}

void FillI420(const Canvas& c, int x0, int y0, int x1, int y1, Yuv p) {
  for (int y = y0; y < y1; ++y) {
    std::memset(c.plane[0] + static_cast<std::ptrdiff_t>(y) * c.stride[0] + x0, p.y, x1 - x0);
  }
  const int cx0 = x0 / 2, cx1 = std::min((x1 + 1) / 2, (c.width + 1) / 2);
  const int cy0 = y0 / 2, cy1 = std::min((y1 + 1) / 2, (c.height + 1) / 2);
  for (int y = cy0; y < cy1; ++y) {
    std::memset(c.plane[1] + static_cast<std::ptrdiff_t>(y) * c.stride[1] + cx0, p.u, cx1 - cx0);
    std::memset(c.plane[2] + static_cast<std::ptrdiff_t>(y) * c.stride[2] + cx0, p.v, cx1 - cx0);
  }
}

int RowBytes(const Canvas& c, int plane) {
  switch (c.layout) {
    case PixelLayout::kYUY2:
    case PixelLayout::kUYVY:
      return c.width * 2;
    case PixelLayout::kBGR:
      return c.width * 3;
    case PixelLayout::kBGRx:
      return c.width * 4;
    case PixelLayout::kI420:
      return plane == 0 ? c.width : (c.width + 1) / 2;
  }
  return 0;
}

// Bounces between lo and hi as t grows.
int Bounce(uint64_t t, int lo, int hi) {
  const int span = hi - lo;
  if (span <= 0) return lo;
  const uint64_t m = t % (2 * static_cast<uint64_t>(span));
  return lo + static_cast<int>(m <= static_cast<uint64_t>(span) ? m : 2 * span - m);
}

int BallRadius(int height) { return std::max(4, height / 12); }

int CounterScale(int height) { return std::max(2, height / 100); }

}  // namespace

void FillRect(const Canvas& c, int x, int y, int w, int h, Rgb colour) {
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = std::min(c.width, x + w), y1 = std::min(c.height, y + h);
  if (x1 <= x0 || y1 <= y0) return;
  switch (c.layout) {
    case PixelLayout::kYUY2:
      FillPacked422(c, x0, y0, x1, y1, ToYuv(colour, c.fullRange), true);
      break;
    case PixelLayout::kUYVY:
      FillPacked422(c, x0, y0, x1, y1, ToYuv(colour, c.fullRange), false);
      break;
    case PixelLayout::kI420:
      FillI420(c, x0, y0, x1, y1, ToYuv(colour, c.fullRange));
      break;
    case PixelLayout::kBGR:
      FillRgb(c, x0, y0, x1, y1, colour, 3);
      break;
    case PixelLayout::kBGRx:
      FillRgb(c, x0, y0, x1, y1, colour, 4);
      break;
  }
}

void CopyCanvas(const Canvas& from, const Canvas& to) {
  const int planes = from.layout == PixelLayout::kI420 ? 3 : 1;
  for (int p = 0; p < planes; ++p) {
    const int rows = p == 0 ? from.height : (from.height + 1) / 2;
    const int bytes = RowBytes(from, p);
    if (from.stride[p] == to.stride[p]) {
      std::memcpy(to.plane[p], from.plane[p],
                  static_cast<size_t>(from.stride[p]) * (rows - 1) + bytes);
      continue;
    }
    for (int y = 0; y < rows; ++y) {
      std::memcpy(to.plane[p] + static_cast<std::ptrdiff_t>(y) * to.stride[p],
                  from.plane[p] + static_cast<std::ptrdiff_t>(y) * from.stride[p], bytes);
    }
  }
}

void DrawBackground(const Canvas& c) {
  static const Rgb kBars[8] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                               {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {16, 16, 16}};
  for (int i = 0; i < 8; ++i) {
    const int x0 = c.width * i / 8, x1 = c.width * (i + 1) / 8;
    FillRect(c, x0, 0, x1 - x0, c.height, kBars[i]);
  }
}

void BallCentre(int width, int height, uint64_t n, int* x, int* y) {
  const int r = BallRadius(height);
  const int speed = std::max(2, width / 160);
  // Starts mid-picture, clear of the counter.
  *x = Bounce(n * speed + width / 2, r, width - r);
  *y = Bounce(n * speed * 2 / 3 + height / 2, r, height - r);
}

void DrawFrameMarks(const Canvas& c, uint64_t n) {
  const Rgb white{255, 255, 255}, black{0, 0, 0};
  int cx, cy;
  BallCentre(c.width, c.height, n, &cx, &cy);
  const int r = BallRadius(c.height);
  for (int dy = -r; dy <= r; ++dy) {
    const int half = static_cast<int>(std::sqrt(static_cast<double>(r * r - dy * dy)));
    FillRect(c, cx - half, cy + dy, 2 * half + 1, 1, white);
  }

  const int s = CounterScale(c.height);
  const int boxW = kCounterDigits * 6 * s + 3 * s, boxH = 11 * s;
  FillRect(c, s, s, boxW, boxH, black);
  uint64_t value = n;
  for (int d = kCounterDigits - 1; d >= 0; --d, value /= 10) {
    const uint8_t* glyph = kDigits[value % 10];
    const int ox = 3 * s + d * 6 * s, oy = 3 * s;
    for (int row = 0; row < 7; ++row) {
      for (int col = 0; col < 5; ++col) {
        if (glyph[row] & (0x10 >> col)) FillRect(c, ox + col * s, oy + row * s, s, s, white);
      }
    }
  }
}

}  // namespace virtualcam
