// The virtual camera's eight colour bars from left to right, each within a tolerance per
// channel in one of three rows (the moving ball hides at most one of them).
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

inline void ExpectColourBars(const QImage& image, int tolerance) {
  const QRgb bars[8] = {qRgb(191, 191, 191), qRgb(191, 191, 0), qRgb(0, 191, 191),
                        qRgb(0, 191, 0),     qRgb(191, 0, 191), qRgb(191, 0, 0),
                        qRgb(0, 0, 191),     qRgb(16, 16, 16)};
  const auto near = [tolerance](QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
  };
  const int w = image.width(), h = image.height();
  for (int i = 0; i < 8; ++i) {
    const int x = w * i / 8 + w / 16;
    bool seen = false;
    for (int y : {h * 3 / 4, h - 3, h / 3}) seen = seen || near(image.pixel(x, y), bars[i]);
    EXPECT_TRUE(seen) << "bar " << i << " at x " << x << " is #" << std::hex
                      << image.pixel(x, h * 3 / 4);
  }
}
