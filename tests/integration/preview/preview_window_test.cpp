// The preview in the real Qt window (offscreen): the video window's place, its frames
// painted on the user-interface thread, and the close that stops them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/pelquin_app.h"
#include "colour_bars.h"
#include "platform/fakes/fake_system.h"
#include "platform/gst/gst_media_factory.h"
#include "platform/qt/qt_frame_window.h"
#include "platform/qt/qt_video_window.h"
#include "plugins/transfer/transfer_register.h"
#include "virtual_devices.h"

namespace {

bool ProcessUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

void ProcessFor(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool Uniform(const QImage& image) {
  const QRgb first = image.pixel(0, 0);
  for (int y = 0; y < image.height(); y += 4)
    for (int x = 0; x < image.width(); x += 4)
      if (image.pixel(x, y) != first) return false;
  return true;
}

class PreviewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ostrel-window-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = tmpl;
    system.modulePath = dir + "/ostrel";
    system.documents = dir;
    transfer::RegisterStatic();
    virtualcam::Configure({virtualcam::CameraSpec{}}, {});
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::string dir;
  platform::FakeSystem system;
  platform::QtWindowFactory windows;
  media::gst::GstMediaFactory factory{"ostrelvirtualdeviceprovider"};
};

TEST_F(PreviewWindowTest, MovingPictureFillsTheClientAreaAboveTheStatusBar) {
  CPelquinApp app(system, &factory, windows);
  ASSERT_TRUE(app.InitInstance());
  auto* window = dynamic_cast<platform::QtFrameWindow*>(app.MainWindow());
  ASSERT_NE(window, nullptr);
  platform::QtVideoWindow* video = window->VideoWindow();
  ASSERT_EQ(app.MainFrame()->m_graphRunning, 1);
  ASSERT_TRUE(ProcessUntil([&] { return video->PaintedFrames() >= 3; }));
  EXPECT_EQ(window->WindowRect().Width(), 640);
  EXPECT_EQ(window->Client()->height() - app.MainFrame()->m_statusBarHeight - 1, 480);
  EXPECT_TRUE(video->isVisible());
  EXPECT_EQ(video->parentWidget(), window->Client());
  const int statusHeight = app.MainFrame()->m_statusBarHeight + 1;
  EXPECT_EQ(video->geometry(),
            QRect(0, 0, window->Client()->width(), window->Client()->height() - statusHeight));

  const QImage first = video->grab().toImage();
  ProcessFor(200);
  const QImage second = video->grab().toImage();
  EXPECT_FALSE(Uniform(first));
  EXPECT_NE(first, second) << "the picture moves";
  EXPECT_GE(video->PresentedFrames(), 3u);

  // The user's resize places the video window again.
  window->resize(800, 600);
  ProcessUntil([&] { return window->Client()->width() == 800; });
  EXPECT_EQ(video->geometry(), QRect(0, 0, 800, window->Client()->height() - statusHeight));

  window->CloseWindow();
  ProcessFor(50);
  EXPECT_FALSE(video->isVisible());
  const uint64_t presented = video->PresentedFrames();
  ProcessFor(150);
  EXPECT_EQ(video->PresentedFrames(), presented) << "no frame after close";
}

// Enlarged smoothly, reduced by the nearest pixel, copied at the window's own size; the
// rows' padding never shows.
TEST(QtVideoWindowTest, FramesAreScaledToTheWindowHonouringTheStride) {
  QWidget parent;
  parent.resize(100, 100);
  platform::QtVideoWindow video(&parent);
  parent.show();
  video.Place(0, 0, 8, 4);
  video.Show(true);
  // A 4x2 frame, rows padded to 5 pixels; pixel (x, y) holds blue = 10 * y + x.
  std::vector<uint32_t> pixels(5 * 2, 0xFFFFFFFFu);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) pixels[5 * y + x] = 0xFF000000u | (10 * y + x);
  media::VideoFrame frame{4, 2, 5 * 4, reinterpret_cast<const uint8_t*>(pixels.data()), {}};
  video.Present(frame);
  ASSERT_TRUE(ProcessUntil([&] { return video.PaintedFrames() >= 1; }));
  QImage shown = video.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(8, 4));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_LE(qBlue(shown.pixel(x, y)), 13) << x << "," << y;
    EXPECT_LT(qBlue(shown.pixel(0, y)), qBlue(shown.pixel(7, y))) << y;
  }
  EXPECT_LT(qBlue(shown.pixel(3, 0)), qBlue(shown.pixel(3, 3)));

  video.Place(0, 0, 2, 1);
  video.Present(frame);
  ASSERT_TRUE(ProcessUntil([&] { return video.PaintedFrames() >= 2; }));
  shown = video.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(qBlue(shown.pixel(0, 0)), 11);
  EXPECT_EQ(qBlue(shown.pixel(1, 0)), 13);

  // At the window's own size the copy is exact; the padding never shows.
  video.Place(0, 0, 4, 2);
  video.Present(frame);
  ASSERT_TRUE(ProcessUntil([&] { return video.PaintedFrames() >= 3; }));
  shown = video.grab().toImage().convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(qBlue(shown.pixel(x, y)), 10 * y + x);
  EXPECT_EQ(video.PresentedFrames(), 3u);
}

// A frame at the window's own size is painted from its owner's memory, which the window
// keeps alive until newer frames have taken its place.
TEST(QtVideoWindowTest, FrameAtTheWindowsSizeIsHeldUntilNewerFramesReplaceIt) {
  QWidget parent;
  parent.resize(100, 100);
  platform::QtVideoWindow video(&parent);
  parent.show();
  video.Place(0, 0, 4, 2);
  video.Show(true);
  auto pixels = std::make_shared<std::vector<uint32_t>>(4 * 2, 0xFF000040u);
  const std::weak_ptr<std::vector<uint32_t>> held = pixels;
  video.Present({4, 2, 4 * 4, reinterpret_cast<const uint8_t*>(pixels->data()), pixels});
  pixels.reset();
  ASSERT_FALSE(held.expired()) << "the window holds the frame it has not painted yet";
  ASSERT_TRUE(ProcessUntil([&] { return video.PaintedFrames() >= 1; }));
  EXPECT_EQ(qBlue(video.grab().toImage().pixel(3, 1)), 0x40);
  std::vector<uint32_t> newer(4 * 2, 0xFF000080u);
  for (int i = 0; i < 3; ++i) {  // through all three of the window's pictures
    const uint64_t painted = video.PaintedFrames();
    video.Present({4, 2, 4 * 4, reinterpret_cast<const uint8_t*>(newer.data()), {}});
    ASSERT_TRUE(ProcessUntil([&] { return video.PaintedFrames() > painted; }));
  }
  EXPECT_EQ(qBlue(video.grab().toImage().pixel(3, 1)), 0x80);
  EXPECT_TRUE(held.expired()) << "and lets go of it once newer frames have replaced it";
}

TEST_F(PreviewWindowTest, EveryFormatShowsTheCameraColours) {
  for (const virtualcam::Format& format : virtualcam::DefaultFormats()) {
    SCOPED_TRACE(format.fourcc + " " + std::to_string(format.width) + "x" +
                 std::to_string(format.height));
    virtualcam::CameraSpec camera;
    camera.formats = {format};
    virtualcam::Configure({camera}, {});
    CPelquinApp app(system, &factory, windows);
    ASSERT_TRUE(app.InitInstance());
    auto* window = dynamic_cast<platform::QtFrameWindow*>(app.MainWindow());
    ASSERT_TRUE(ProcessUntil([&] { return window->VideoWindow()->PaintedFrames() >= 2; }));
    ExpectColourBars(window->VideoWindow()->grab().toImage(), 4);
    window->CloseWindow();
    ProcessFor(50);
  }
}

}  // namespace
