// The video window keeps the picture's shape inside whatever size the user gives it.
#include "platform/qt/qt_video_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <vector>

namespace {

using platform::QtVideoWindow;

// Hands the window a frame and waits (5 s at most) until it has painted it.
void PresentAndPaint(QtVideoWindow* video, const media::VideoFrame& frame) {
  const uint64_t painted = video->PaintedFrames();
  video->Present(frame);
  QElapsedTimer clock;
  clock.start();
  while (video->PaintedFrames() == painted && clock.elapsed() < 5000) {
    QApplication::processEvents();
    video->repaint();
  }
}

TEST(QtVideoWindow, PictureFitsTheAreaWithItsOwnShape) {
  EXPECT_EQ(QtVideoWindow::PictureRect(640, 480, 640, 480), QRect(0, 0, 640, 480));
  EXPECT_EQ(QtVideoWindow::PictureRect(640, 480, 900, 480), QRect(130, 0, 640, 480))
      << "bars left and right";
  EXPECT_EQ(QtVideoWindow::PictureRect(640, 480, 500, 700), QRect(0, 162, 500, 375))
      << "bars above and below";
  EXPECT_EQ(QtVideoWindow::PictureRect(1280, 720, 320, 240), QRect(0, 30, 320, 180));
  EXPECT_EQ(QtVideoWindow::PictureRect(640, 480, 0, 480).size(), QSize(0, 0));
  EXPECT_EQ(QtVideoWindow::PictureRect(0, 0, 640, 480).size(), QSize(0, 0));
}

TEST(QtVideoWindow, WideWindowShowsBlackBarsBesideThePicture) {
  QWidget parent;
  parent.resize(900, 480);
  auto* video = new QtVideoWindow(&parent);
  video->Place(0, 0, 900, 480);
  video->Show(true);
  parent.show();
  std::vector<uint8_t> white(640 * 480 * 4, 0xff);
  PresentAndPaint(video, {640, 480, 640 * 4, white.data()});
  const QImage shot = video->grab().toImage();
  EXPECT_EQ(shot.pixelColor(10, 240), QColor(Qt::black));
  EXPECT_EQ(shot.pixelColor(890, 240), QColor(Qt::black));
  EXPECT_EQ(shot.pixelColor(450, 240), QColor(Qt::white));
  EXPECT_EQ(shot.pixelColor(131, 5), QColor(Qt::white));
}

// A 320 x 240 output shown at 640 x 480: a sharp black-white edge becomes a ramp, not blocks.
TEST(QtVideoWindow, EnlargedPictureIsScaledSmoothly) {
  QWidget parent;
  parent.resize(640, 480);
  auto* video = new QtVideoWindow(&parent);
  video->Place(0, 0, 640, 480);
  video->Show(true);
  parent.show();
  std::vector<uint32_t> frame(320 * 240);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) frame[size_t(y) * 320 + x] = x < 160 ? 0xff000000 : 0xffffffff;
  PresentAndPaint(video, {320, 240, 320 * 4, reinterpret_cast<const uint8_t*>(frame.data())});
  const QImage shot = video->grab().toImage();
  EXPECT_EQ(shot.pixelColor(100, 240), QColor(Qt::black));
  EXPECT_EQ(shot.pixelColor(540, 240), QColor(Qt::white));
  int between = 0;
  for (int x = 310; x < 330; ++x) {
    const int v = shot.pixelColor(x, 240).red();
    if (v > 0 && v < 255) ++between;
  }
  EXPECT_GE(between, 1) << "the edge has grey steps between black and white";
}

// A white picture, then Clear: black until the next frame. A black picture, then Flash:
// white over it at first, the picture again once the flash has faded.
TEST(QtVideoWindow, ClearBlacksTheAreaAndFlashFadesBackToThePicture) {
  QWidget parent;
  parent.resize(320, 240);
  auto* video = new QtVideoWindow(&parent);
  video->Place(0, 0, 320, 240);
  video->Show(true);
  parent.show();
  const auto present = [&](uint8_t value) {
    std::vector<uint8_t> frame(320 * 240 * 4, value);
    PresentAndPaint(video, {320, 240, 320 * 4, frame.data()});
  };
  const auto centre = [&] { return video->grab().toImage().pixelColor(160, 120); };
  present(0xff);
  ASSERT_EQ(centre(), QColor(Qt::white));
  video->Clear();
  EXPECT_EQ(centre(), QColor(Qt::black));
  present(0xff);
  EXPECT_EQ(centre(), QColor(Qt::white)) << "the next frame shows again";

  present(0x00);
  ASSERT_EQ(centre(), QColor(Qt::black));
  video->Flash();
  EXPECT_GT(centre().lightness(), 150) << "the flash is bright at first";
  QElapsedTimer clock;
  clock.start();
  while (video->Flashing() && clock.elapsed() < 5000) QApplication::processEvents();
  EXPECT_FALSE(video->Flashing());
  EXPECT_EQ(centre(), QColor(Qt::black)) << "and gone after a moment";
}

}  // namespace
