// The two snapshot paths on the virtual camera, the files read back with QImage.
#include <QImage>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "colour_bars.h"
#include "still_frame_fixture.h"

namespace {

using virtualcam::Format;

QImage Load(const std::string& path) {
  QImage image;
  EXPECT_TRUE(image.load(QString::fromStdString(path), "BMP")) << path;
  return image;
}

// The picture as the camera drew it: the frame counter's black box in the top left
// corner, and eight colour bars from left to right (the ball may hide one spot), each
// within the tolerance per channel.
void ExpectCameraPicture(const QImage& image, int tolerance = 11) {
  ASSERT_FALSE(image.isNull());
  const int h = image.height();
  // Inside the box, left of the first digit, whether or not the picture was resized.
  const int s = 2 * std::max(2, h / 100);
  EXPECT_LT(qGray(image.pixel(s, s)), 40) << "the counter is at the top";
  EXPECT_GT(qGray(image.pixel(s, h - 1 - s)), 100) << "no counter at the bottom";
  ExpectColourBars(image, tolerance);
}

// The file's own bytes, read by QImage exactly: rows bottom-up, blue, green, red.
void ExpectReaderAgrees(const std::string& path, const QImage& image) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const int w = image.width(), h = image.height();
  ASSERT_EQ(bytes.size(), 54u + size_t(w) * h * 3);
  for (int y = 0; y < h; y += 7) {
    const auto* row =
        reinterpret_cast<const uint8_t*>(bytes.data()) + 54 + size_t(h - 1 - y) * w * 3;
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(image.pixel(x, y), qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]))
          << x << "," << y;
  }
}

class StillCaptureTest : public StillFrameTest {};

TEST_F(StillCaptureTest, MenuSnapshotIsTheCameraPictureTheRightWayUp) {
  Start({Format{"YUY2", 640, 480, 30}});
  frame->m_snapshotIndex = 3;
  ASSERT_EQ(Snap(), 1) << (window.messages.empty() ? "" : window.messages.back().text);
  EXPECT_EQ(std::filesystem::file_size(Path("Still0003.BMP")), 921'654u);
  const QImage image = Load(Path("Still0003.BMP"));
  EXPECT_EQ(image.size(), QSize(640, 480));
  ExpectCameraPicture(image);
  ExpectReaderAgrees(Path("Still0003.BMP"), image);
  EXPECT_EQ(frame->m_snapshotIndex, 4);
  EXPECT_EQ(system.shutterSounds, 1);
}

TEST_F(StillCaptureTest, BothPathsFollowTheStillSizeAndShareOneCounter) {
  Start({Format{"MJPG", 1280, 720, 30}, Format{"YUY2", 640, 480, 30}});
  // The still pin's file n is followed by the menu's n + 1, at every size.
  g_stillSizeIndex = 4;
  ASSERT_EQ(Press(), media::kOk);
  ASSERT_EQ(Snap(), 1);
  for (const char* name : {"0000.BMP", "Still0001.BMP"}) {
    EXPECT_EQ(std::filesystem::file_size(Path(name)), 3'686'454u) << name;
    const QImage image = Load(Path(name));
    EXPECT_EQ(image.size(), QSize(1280, 960)) << name;
    ExpectCameraPicture(image);
  }
  for (int index : {6, 11}) {
    g_stillSizeIndex = index;
    ASSERT_EQ(Snap(), 1);
    ASSERT_EQ(Press(), media::kOk);
  }
  for (const char* name : {"Still0002.BMP", "0003.BMP", "Still0004.BMP", "0005.BMP"}) {
    const QImage image = Load(Path(name));
    EXPECT_EQ(image.size(), QSize(1280, 720)) << name;
    ExpectCameraPicture(image);
  }
  EXPECT_EQ(frame->m_snapshotIndex, 6);
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(StillCaptureTest, MenuSnapshotSucceedsAtEveryFrameRate) {
  for (int fps : {5, 10, 30}) {
    Start({Format{"YUY2", 1280, 720, fps}}, true);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(frame->TakeSnapshot(), 1) << fps << " fps, try " << i;
    EXPECT_TRUE(window.messages.empty()) << fps << " fps: " << window.messages[0].text;
    frame->OnClose();
    window.messages.clear();
  }
}

// Each format's colours decoded with the colorimetry the camera declares for it.
TEST_F(StillCaptureTest, EveryFormatSnapsTheCameraColours) {
  for (const Format& format : virtualcam::DefaultFormats()) {
    if (format.fourcc == "RGB32") continue;  // no menu snapshot (see below)
    SCOPED_TRACE(format.fourcc + " " + std::to_string(format.width) + "x" +
                 std::to_string(format.height));
    Start({format});
    ASSERT_EQ(Snap(), 1);
    char name[32];
    std::snprintf(name, sizeof name, "Still%04d.BMP", frame->m_snapshotIndex - 1);
    ExpectCameraPicture(Load(Path(name)), 4);
    frame->OnClose();
  }
}

TEST_F(StillCaptureTest, AnRgb32CaptureFormatGivesSnapshotErrorEveryTime) {
  Start({Format{"RGB32", 640, 480, 30}});
  ASSERT_EQ(frame->m_videoSubtype, 6);
  EXPECT_EQ(frame->TakeSnapshot(), 0);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "Snapshot Error");
  EXPECT_EQ(window.messages[0].caption, "Error");
  EXPECT_FALSE(std::filesystem::exists(Path("Still0000.BMP")));
  // The still pin writes its frames all the same.
  ASSERT_EQ(Press(), media::kOk);
  ExpectCameraPicture(Load(Path("0000.BMP")));
}

TEST_F(StillCaptureTest, AfterAResetExistingPicturesAreSkippedNotReplaced) {
  Start({Format{"YUY2", 320, 240, 30}});
  ASSERT_EQ(Snap(), 1);
  ASSERT_EQ(Press(), media::kOk);
  const auto size = std::filesystem::file_size(Path("Still0000.BMP"));
  frame->ResetFileNumbers();
  ASSERT_EQ(Press(), media::kOk);
  ASSERT_EQ(Snap(), 1);
  EXPECT_TRUE(std::filesystem::exists(Path("0002.BMP")));
  EXPECT_TRUE(std::filesystem::exists(Path("Still0003.BMP")));
  EXPECT_EQ(std::filesystem::file_size(Path("Still0000.BMP")), size);
  EXPECT_EQ(frame->m_snapshotIndex, 4);
}

}  // namespace
