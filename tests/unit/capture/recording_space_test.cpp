// The room a recording needs before it starts and while it runs.
#include "capture/recording_space.h"

#include <gtest/gtest.h>

namespace {

using namespace recording_space;

constexpr int64_t kVga30Yuy2 = 640 * 480 * 2 * 30;  // bytes a second, no sound

TEST(RecordingSpaceTest, AnAviTakesItsCaptureFormatAsItIsAndTheSoundUncompressed) {
  EXPECT_EQ(BytesPerSecond(0, 3, 640, 480, 30, false), kVga30Yuy2);
  EXPECT_EQ(BytesPerSecond(0, 1, 640, 480, 30, false), kVga30Yuy2);          // UYVY
  EXPECT_EQ(BytesPerSecond(0, 4, 640, 480, 30, false), kVga30Yuy2 * 3 / 4);  // I420
  EXPECT_EQ(BytesPerSecond(0, 3, 640, 480, 30, true), kVga30Yuy2 + 192000);
  EXPECT_EQ(BytesPerSecond(0, 3, 1280, 720, 10, false), 1280 * 720 * 2 * 10);
  // No rate, no size: still an estimate that is not nothing.
  EXPECT_GT(BytesPerSecond(0, 3, 0, 0, 0, false), 0);
  // A WMV's encoders bound it whatever the camera sends.
  EXPECT_EQ(BytesPerSecond(1, 3, 1920, 1080, 60, true), BytesPerSecond(1, 1, 320, 240, 5, false));
  EXPECT_LT(BytesPerSecond(1, 3, 640, 480, 30, true), kVga30Yuy2 / 10);
}

TEST(RecordingSpaceTest, AStartNeedsItsFirstSecondsAndUnknownSpaceNeverStopsIt) {
  const int64_t needed = kVga30Yuy2 * kStartSeconds;
  EXPECT_FALSE(EnoughToStart(0, kVga30Yuy2));
  EXPECT_FALSE(EnoughToStart(needed, kVga30Yuy2));  // nothing left for the headers
  EXPECT_TRUE(EnoughToStart(needed + (1 << 20), kVga30Yuy2));
  EXPECT_TRUE(EnoughToStart(-1, kVga30Yuy2));
}

TEST(RecordingSpaceTest, ARecordingStopsWhileItsFileCanStillBeFinished) {
  // What a stop needs grows with the index of what has been recorded.
  const int64_t early = FinishReserve(kVga30Yuy2, 0, 30, true);
  const int64_t hourLater = FinishReserve(kVga30Yuy2, 3600, 30, true);
  EXPECT_GE(early, kVga30Yuy2 * kFinishSeconds);
  EXPECT_GE(hourLater - early, 3600 * 80 * 16);  // at least an AVI index entry per chunk
  EXPECT_TRUE(RunningOut(early - 1, kVga30Yuy2, 0, 30, true));
  EXPECT_FALSE(RunningOut(early, kVga30Yuy2, 0, 30, true));
  EXPECT_TRUE(RunningOut(early, kVga30Yuy2, 3600, 30, true));
  EXPECT_FALSE(RunningOut(-1, kVga30Yuy2, 3600, 30, true));
  // A folder with room to start is not one that stops the recording at once.
  const int64_t startable = kVga30Yuy2 * kStartSeconds + (1 << 20);
  EXPECT_FALSE(RunningOut(startable, kVga30Yuy2, 0, 30, false));
}

}  // namespace
