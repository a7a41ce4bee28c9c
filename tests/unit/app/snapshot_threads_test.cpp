// The still pin on its own thread against the user-interface thread's resets, folder
// changes, menu snapshots and settings saves: no number twice, no picture lost.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "fake_grabber.h"
#include "frame_fixture.h"
#include "scratch_folder.h"

namespace {

media::MediaType SmallStill() {
  media::MediaType t;
  t.major = media::MajorType::Video;
  t.formatType = media::FormatType::VideoInfo;
  t.formatSize = media::kVideoInfoSize;
  t.width = 8;
  t.height = 6;
  return t;
}

// Number of each still file in a folder, by its number; false when a number is there twice.
bool NumbersOnce(const std::string& folder, int& stillPin, int& menu) {
  std::set<int> numbers;
  bool once = true;
  for (const std::string& name : FolderEntries(folder)) {
    const bool isMenu = name.rfind("Still", 0) == 0;
    const int n = std::stoi(name.substr(isMenu ? 5 : 0));
    once &= numbers.insert(n).second;
    ++(isMenu ? menu : stillPin);
  }
  return once;
}

class SnapshotThreadsTest : public FrameTest {};

TEST_F(SnapshotThreadsTest, ButtonPressesAndTheMenuNeverShareANumberOrLoseAPicture) {
  const std::string folders[2] = {dir / "a", dir / "b"};
  for (const std::string& f : folders) std::filesystem::create_directories(f);
  Frame().m_snapshotFolder = folders[0];
  Frame().m_videoWidth = 8;
  Frame().m_videoHeight = 6;
  Frame().m_videoSubtype = 3;
  auto filter = std::make_shared<FakeGrabberFilter>();
  filter->grabber->frame = PatternFrame(8 * 6 * 3);
  Frame().m_pPreviewGrabber = filter;
  g_stillMediaType = SmallStill();

  constexpr int kPresses = 3000;
  const std::vector<uint8_t> still = PatternFrame(8 * 6 * 3, 1);
  std::atomic<int> pressed{0};
  std::atomic<int> failed{0};
  std::thread streaming([&] {
    for (int i = 0; i < kPresses; ++i) {
      if (Frame().m_pStillCallback->BufferCB(0, still.data(), long(still.size())) != media::kOk)
        ++failed;
      ++pressed;
    }
  });
  int menuShots = 0;
  for (int round = 0; pressed.load() < kPresses; ++round) {
    switch (round % 8) {
      case 0:
        Frame().ResetFileNumbers();
        break;
      case 3:
        Frame().SetSnapshotFolder(folders[(round / 8) % 2]);
        break;
      case 5:
        Frame().SaveSettings();
        break;
      default:
        ASSERT_EQ(Frame().TakeSnapshot(), 1);
        ++menuShots;
    }
  }
  streaming.join();
  g_stillMediaType = media::MediaType{};

  EXPECT_EQ(failed.load(), 0);
  int stillPin = 0, menu = 0;
  for (const std::string& f : folders) EXPECT_TRUE(NumbersOnce(f, stillPin, menu)) << f;
  EXPECT_EQ(stillPin, kPresses);
  EXPECT_EQ(menu, menuShots);
  EXPECT_GT(menuShots, 0);
  for (const std::string& f : folders)
    for (const std::string& name : FolderEntries(f)) ASSERT_NE(name[0], '.') << "left behind";
}

}  // namespace
