// Sound and picture stay together with a camera that delivers fewer frames than its
// format says, and no frame goes unaccounted for on a machine too busy to keep up.
#include <atomic>
#include <vector>

#include "recording_fixture.h"

namespace {

virtualcam::CameraSpec ShortOfFrames() {
  virtualcam::CameraSpec camera = CameraIn("YUY2", 640, 480, 30);
  camera.deliveredFps = 22;
  return camera;
}

TEST_F(RecordingTest, AviFromACameraShortOfFramesKeepsSoundAndPictureTogether) {
  Open(ShortOfFrames());
  frame->m_recordAudio = 1;
  const int delivered = Record(66);  // three seconds
  const ProbedClip ff = ProbeWithFfprobe(Clip("Clip0000.AVI"));
  const ProbedClip gst = ProbeWithGStreamer(Clip("Clip0000.AVI"));
  ASSERT_TRUE(ff.ok) << ff.error;
  ASSERT_TRUE(gst.ok) << gst.error;
  ASSERT_EQ(ff.streams.size(), 2u);
  const ProbedStream& video = ff.streams[0];
  const ProbedStream& audio = ff.streams[1];
  // The missing frames are filled in: the file has the format's 30 a second.
  EXPECT_GT(video.frames, delivered * 30 / 22 - 30);
  EXPECT_NEAR(video.end, video.frames / 30.0, 0.001);
  EXPECT_NEAR(audio.end, video.end, 0.1);
  EXPECT_NEAR(gst.Find("audio")->end, gst.Find("video")->end, 0.1);
}

TEST_F(RecordingTest, WmvFromACameraShortOfFramesKeepsEachFrameAtItsTime) {
  Open(ShortOfFrames());
  frame->m_recordAudio = 1;
  frame->m_recordFormat = 1;
  const int delivered = Record(66);
  const ProbedClip ff = ProbeWithFfprobe(Clip("Clip0000.WMV"));
  ASSERT_TRUE(ff.ok) << ff.error;
  ASSERT_TRUE(ff.Find("video") && ff.Find("audio"));
  EXPECT_EQ(ff.Find("video")->frames, delivered);
  EXPECT_NEAR(ff.Find("audio")->end, ff.Find("video")->end, 0.1);
  EXPECT_NEAR(ff.Find("video")->end, delivered / 22.0, 0.5);
}

// Threads of the test's own that keep the cores busy while they live.
class BusyCores {
 public:
  explicit BusyCores(int count) {
    for (int i = 0; i < count; ++i)
      threads_.emplace_back([this] {
        while (!stop_) {
        }
      });
  }
  ~BusyCores() {
    stop_ = true;
    for (auto& t : threads_) t.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

class BusyMachine : public RecordingTest, public ::testing::WithParamInterface<int> {};

TEST_P(BusyMachine, EveryFrameTheCameraDeliveredIsInTheClipOrToldAsLeftOut) {
  // More frames than an encoder takes even on an idle machine.
  Open(CameraIn("MJPG", 1920, 1080, 60));
  frame->m_recordAudio = 1;
  frame->m_recordFormat = GetParam();
  int delivered = 0;
  {
    BusyCores busy(2);
    delivered = Record(240);  // four seconds
  }
  const int64_t leftOut = frame->TakeFramesLeftOut();
  const std::string clip = Clip(GetParam() ? "Clip0000.WMV" : "Clip0000.AVI");
  const ProbedClip ff = ProbeWithFfprobe(clip);
  ASSERT_TRUE(ff.ok) << ff.error;
  const ProbedStream* video = ff.Find("video");
  ASSERT_TRUE(video && ff.Find("audio"));
  if (GetParam()) {
    EXPECT_EQ(video->frames + leftOut, delivered) << leftOut << " left out";
    EXPECT_EQ(TimestampComplaints(clip), 0);
  } else {
    // The AVI fills a frame left out with the one before it.
    EXPECT_GE(video->frames, delivered);
  }
  // Picture and sound last as long as the recording: nothing is cut from their end (the
  // camera may be half a second late on a busy machine, and its first frame late) but
  // the frames told as left out, which a writer starved to the end leaves out last.
  const double toldSeconds = leftOut / 60.0;
  EXPECT_LE(video->end, recordedSeconds + 1.0);
  EXPECT_GE(video->end, recordedSeconds - 1.0 - toldSeconds) << leftOut << " left out";
  EXPECT_NEAR(ff.Find("audio")->end, video->end, 0.8 + toldSeconds) << leftOut << " left out";
}

INSTANTIATE_TEST_SUITE_P(Containers, BusyMachine, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "Wmv" : "Avi"; });

}  // namespace

namespace {

// Sources whose timestamps are off the graph's clock or that stall: the clip starts at
// 0 and repeats frames only for the real gap, and never for more than the bound.
struct ClockCase {
  const char* name;
  int clockAheadSeconds;
  int stallMs;
  int recordFormat;        // 0 AVI, 1 WMV
  double repeatedSeconds;  // the frames the AVI's rate keeper adds for the stall
  bool stallKeepsTimes = false;
  int frames = 45;  // delivered before the stop
};

class RecordingClockTest : public RecordingTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(RecordingClockTest, ClipFollowsTheGraphsClock) {
  const ClockCase& c = GetParam();
  virtualcam::CameraSpec camera = CameraIn("YUY2", 320, 240, 30);
  camera.clockAheadSeconds = c.clockAheadSeconds;
  camera.stallAfterFrames = c.stallMs > 0 ? 15 : 0;
  camera.stallMs = c.stallMs;
  camera.stallKeepsTimes = c.stallKeepsTimes;
  Open(camera);
  frame->m_recordAudio = 1;
  frame->m_recordFormat = c.recordFormat;
  const int delivered = Record(c.frames);
  const int64_t leftOut = frame->TakeFramesLeftOut();
  const std::string path = Clip(c.recordFormat == 0 ? "Clip0000.AVI" : "Clip0000.WMV");
  // A runaway writer fills the disk at hundreds of MB a second.
  EXPECT_LT(std::filesystem::file_size(path), 100u << 20);
  ProbedClip ff;
  ASSERT_NO_FATAL_FAILURE(ExpectWholeClip(path, ff));
  const ProbedStream* video = ff.Find("video");
  if (c.recordFormat == 0) {
    const double repeated = video->frames / 30.0 - delivered / 30.0;
    EXPECT_NEAR(repeated, c.repeatedSeconds, 0.7)
        << video->frames << " frames, " << delivered << " delivered";
  } else {
    EXPECT_EQ(video->frames + leftOut, delivered) << leftOut << " left out";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, RecordingClockTest,
    ::testing::Values(ClockCase{"AviClockHoursAhead", 5 * 3600, 0, 0, 0.0},
                      ClockCase{"WmvClockHoursAhead", 5 * 3600, 0, 1, 0.0},
                      ClockCase{"AviStallOf3s", 0, 3000, 0, 3.0},
                      ClockCase{"AviStallOf7sFillsAtMost5s", 0, 7000, 0, 5.0},
                      ClockCase{"AviClockAheadAndStall", 5 * 3600, 3000, 0, 3.0},
                      ClockCase{"AviFramesHeldBack6s", 0, 6000, 0, 0.0, true, 300},
                      ClockCase{"WmvFramesHeldBack6s", 0, 6000, 1, 0.0, true, 300}),
    [](const ::testing::TestParamInfo<ClockCase>& info) { return std::string(info.param.name); });

}  // namespace
