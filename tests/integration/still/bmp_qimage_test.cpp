// BMP files from the still writer, read back with QImage: size and every pixel.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <random>
#include <vector>

#include "still/bmp.h"
#include "still/resample.h"

namespace ostrel::still {
namespace {

// The buffer's first row is the bottom of the picture, each pixel blue, green, red.
void ExpectDecodesTo(const QString& path, const std::vector<uint8_t>& pixels, int w, int h) {
  QImage image;
  ASSERT_TRUE(image.load(path, "BMP")) << path.toStdString();
  ASSERT_EQ(image.width(), w);
  ASSERT_EQ(image.height(), h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = pixels.data() + size_t(h - 1 - y) * w * 3;
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = row + x * 3;
      ASSERT_EQ(image.pixel(x, y), qRgb(p[2], p[1], p[0])) << "pixel " << x << ", " << y;
    }
  }
}

std::vector<uint8_t> RandomPixels(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> pixels(size_t(w) * h * 3);
  for (auto& b : pixels) b = static_cast<uint8_t>(rng());
  return pixels;
}

TEST(BmpQImage, WrittenFilesDecodeToTheSamePixels) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // Widths whose rows fill whole 4-byte words, as every still size does.
  for (auto [w, h] : {std::pair{4, 2}, {8, 3}, {320, 240}}) {
    const auto pixels = RandomPixels(w, h, unsigned(w * h));
    const QString path = dir.filePath(QString("%1x%2.BMP").arg(w).arg(h));
    std::string error;
    ASSERT_TRUE(WriteBmpFile(path.toStdString(), pixels.data(), w, h, &error)) << error;
    ExpectDecodesTo(path, pixels, w, h);
  }
}

TEST(BmpQImage, AResampledStillDecodes) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto frame = RandomPixels(640, 480, 9);
  std::vector<uint8_t> still(800 * 600 * 3);
  ResampleRGB24(still.data(), frame.data(), 640, 480, 800, 600);
  const QString path = dir.filePath("Still0001.BMP");
  ASSERT_TRUE(WriteBmpFile(path.toStdString(), still.data(), 800, 600, nullptr));
  ExpectDecodesTo(path, still, 800, 600);
}

}  // namespace
}  // namespace ostrel::still
