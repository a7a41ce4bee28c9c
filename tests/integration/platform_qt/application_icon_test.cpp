// The application icon compiled into the Qt layer: every size, icon 128's own pixels.
#include "platform/qt/application_icon.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>

namespace {

TEST(ApplicationIcon, OffersEverySizeFromTheResource) {
  QIcon icon = platform::ApplicationIcon();
  ASSERT_FALSE(icon.isNull()) << "the icon resource is not linked in";
  QList<QSize> sizes = icon.availableSizes();
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;

  QImage drawn = icon.pixmap(QSize(128, 128)).toImage().convertToFormat(QImage::Format_ARGB32);
  QImage file(QStringLiteral(":/icons/ostrel_128.png"));
  ASSERT_EQ(drawn.size(), QSize(128, 128));
  file = file.convertToFormat(QImage::Format_ARGB32);
  int worst = 0;
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 128; ++x) {
      QRgb a = drawn.pixel(x, y);
      QRgb b = file.pixel(x, y);
      worst = std::max({worst, std::abs(qAlpha(a) - qAlpha(b)), std::abs(qRed(a) - qRed(b)),
                        std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
    }
  }
  EXPECT_LE(worst, 2) << "the 128-pixel icon is not icon 128's own image";
  // Not a blank square: the lens in the middle is dark, the corner is transparent.
  EXPECT_LT(qGray(drawn.pixel(64, 58)), 64);
  EXPECT_EQ(qAlpha(drawn.pixel(0, 0)), 0);
}

}  // namespace
