// The camera's button pressed thousands of times from a thread while the user-interface
// thread resets the numbers, changes the folder, takes menu snapshots and saves the
// settings: no number twice, no picture lost. Also run under ThreadSanitizer.
#include <set>

#include "still_frame_fixture.h"

namespace {

// Counts the still files of a folder; false when a number is there twice.
bool NumbersOnce(const std::string& folder, int& stillPin, int& menu) {
  std::set<int> numbers;
  bool once = true;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    EXPECT_NE(name[0], '.') << "a file left half-written: " << name;
    const bool isMenu = name.rfind("Still", 0) == 0;
    once &= numbers.insert(std::stoi(name.substr(isMenu ? 5 : 0))).second;
    ++(isMenu ? menu : stillPin);
  }
  return once;
}

class StillButtonTest : public StillFrameTest {};

TEST_F(StillButtonTest, ThousandsOfPressesAgainstTheMenuNeverShareANumberOrLoseAPicture) {
  Start({virtualcam::Format{"YUY2", 64, 48, 60}});
  const std::string folders[2] = {folder, dir + "/Other"};
  std::filesystem::create_directories(folders[1]);

  constexpr int kPresses = 2000;
  std::atomic<bool> stuck{false};
  std::thread button([&] {
    for (int i = 0; i < kPresses && !stuck; ++i) {
      // The camera's still queue holds two frames and drops the oldest beyond that; a
      // frame just written may not have left the branch yet: never have more than two on
      // the way.
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (counting.Calls() < i - 1 && !(stuck = std::chrono::steady_clock::now() > end))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      virtualcam::PressSnapshotButton(0);
    }
  });
  int menuShots = 0, missedFrames = 0;
  // Ends when every press has been written, or when the still pin has been silent for
  // 20 seconds after the last press (a lost picture).
  auto lastProgress = std::chrono::steady_clock::now();
  int lastCalls = 0;
  for (int round = 0; counting.Calls() < kPresses && !stuck; ++round) {
    if (counting.Calls() != lastCalls) {
      lastCalls = counting.Calls();
      lastProgress = std::chrono::steady_clock::now();
    } else if (std::chrono::steady_clock::now() - lastProgress > std::chrono::seconds(20)) {
      break;
    }
    switch (round % 6) {
      case 0:
        frame->ResetFileNumbers();
        break;
      case 2:
        frame->SetSnapshotFolder(folders[(round / 6) % 2]);
        break;
      case 4:
        frame->SaveSettings();
        break;
      default: {
        const int32_t result = frame->TakeSnapshot();
        if (result == 1) {
          ++menuShots;
        } else {
          // No frame within the 50 ms wait (a loaded machine) is the only excuse.
          EXPECT_EQ(result, 0);
          ++missedFrames;
          if (window.messages.empty() || window.messages.back().text != "Snapshot Error") {
            ADD_FAILURE() << "the menu snapshot failed";
            stuck = true;
          }
        }
      }
    }
  }
  button.join();
  ASSERT_FALSE(stuck) << "the camera stopped answering its button after " << counting.Calls();
  ASSERT_EQ(counting.Calls(), kPresses) << "pictures lost";
  EXPECT_EQ(counting.failed.load(), 0);
  int stillPin = 0, menu = 0;
  for (const std::string& f : folders) EXPECT_TRUE(NumbersOnce(f, stillPin, menu)) << f;
  EXPECT_EQ(stillPin, kPresses);
  EXPECT_EQ(menu, menuShots);
  EXPECT_GT(menuShots, 10);
  RecordProperty("menu_snapshots", menuShots);
  RecordProperty("missed_frames", missedFrames);
}

}  // namespace
