// The clips of one long recording: each next clip takes the next free number and its
// marker, the clip before loses its own, and the frame's clip number follows.
#include "capture/clip_series.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "capture/capture_frame.h"
#include "capture/unfinished_clips.h"
#include "platform/fakes/fake_system.h"
#include "platform/fakes/fake_window.h"
#include "tests/unit/app/temp_dir.h"

namespace fs = std::filesystem;

namespace {

bool Marked(const std::string& clip) { return fs::exists(unfinished_clips::MarkerPath(clip)); }

class ClipSeriesTest : public ::testing::Test {
 protected:
  clip_series::PathOf PathOf() {
    return [this](int n) { return clip_series::ClipPath(dir.path(), n, "AVI"); };
  }
  TempDir dir;
  platform::FakeSystem system;
};

TEST_F(ClipSeriesTest, EachNextClipIsMarkedOnceTheOneBeforeLosesItsMarker) {
  WriteFile(dir / "Clip0004.AVI", "the user's own");  // a number that is taken
  clip_series::Series series(PathOf(), system, system.ProcessToken(), 3);
  EXPECT_EQ(series.First(), dir / "Clip0003.AVI");
  EXPECT_TRUE(Marked(dir / "Clip0003.AVI"));
  EXPECT_EQ(series.Begun(), 1);
  EXPECT_EQ(series.NextIndex(), 4);

  EXPECT_EQ(series.Next(), dir / "Clip0005.AVI");
  EXPECT_FALSE(Marked(dir / "Clip0003.AVI"));
  EXPECT_FALSE(Marked(dir / "Clip0004.AVI"));
  EXPECT_TRUE(Marked(dir / "Clip0005.AVI"));
  EXPECT_EQ(ReadFile(dir / "Clip0004.AVI"), "the user's own");
  EXPECT_EQ(series.Next(), dir / "Clip0006.AVI");
  EXPECT_EQ(series.Begun(), 3);
  EXPECT_EQ(series.NextIndex(), 7);

  series.Finish();
  EXPECT_FALSE(Marked(dir / "Clip0006.AVI"));
  EXPECT_TRUE(unfinished_clips::FindAbandoned(dir.path(), system).empty());
}

TEST_F(ClipSeriesTest, PastTheLastNumberNoClipIsReplacedAndNothingWrapsRound) {
  WriteFile(dir / "Clip2147483647.AVI", "the user's own");
  const std::optional<int> free = clip_series::FirstFreeIndex(INT32_MAX, PathOf(), system);
  EXPECT_FALSE(free.has_value());
  std::filesystem::remove(dir / "Clip2147483647.AVI");
  WriteFile(dir / "Clip2147483647-1.AVI", "also the user's");
  clip_series::Series series(PathOf(), system, system.ProcessToken(), INT32_MAX);
  EXPECT_EQ(series.NextIndex(), INT32_MAX);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(series.Next(), dir / "Clip2147483647-2.AVI") << "a name the writer has not used";
  EXPECT_NE(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(series.NextIndex(), INT32_MAX);
  EXPECT_EQ(ReadFile(dir / "Clip2147483647-1.AVI"), "also the user's");
  series.Finish();
}

TEST_F(ClipSeriesTest, AnAbandonedClipKeepsItsMarkerForTheRepair) {
  clip_series::Series series(PathOf(), system, "boot-0 17 5", 0);
  series.Next();
  series.Abandon();
  series.Finish();  // the teardown after the failed stop
  EXPECT_FALSE(Marked(dir / "Clip0000.AVI"));
  EXPECT_TRUE(Marked(dir / "Clip0001.AVI"));
}

// A writer whose namer the test calls as the streaming thread would.
class SplittingSink : public media::FileSink {
 public:
  std::string first;
  std::function<std::string()> namer;
  media::Status SetFileName(const std::string& path) override {
    first = path;
    return media::kOk;
  }
  media::Status SetNextFileNamer(std::function<std::string()> next) override {
    namer = std::move(next);
    return media::kOk;
  }
};

class SplittingWriter : public media::Filter {
 public:
  std::shared_ptr<SplittingSink> sink = std::make_shared<SplittingSink>();
  std::string Name() const override { return "FileWriter"; }
  std::string ClassId() const override { return media::clsid::kFileWriter; }
  media::Status EnumPins(std::vector<std::shared_ptr<media::Pin>>& pins) override {
    pins.clear();
    return media::kOk;
  }
  std::shared_ptr<media::FileSink> GetFileSink() override { return sink; }
};

class Frame : public CaptureFrame {
 public:
  platform::FakeWindow window;
  platform::FakeSystem system;
  platform::Window& Ui() override { return window; }
  platform::System& Sys() override { return system; }
  media::MediaFactory& Media() override { std::abort(); }
  void FitWindowToVideo(int, int) override {}
};

TEST_F(ClipSeriesTest, TheClipNumberMovesPastTheLastClipTheWriterBegan) {
  Frame frame;
  frame.m_captureFolder = dir.path();
  SplittingWriter writer;
  frame.BeginClipSeries(&writer, 2, "AVI");
  frame.m_clipIndex = 3;  // what the build leaves
  EXPECT_EQ(writer.sink->first, dir / "Clip0002.AVI");
  ASSERT_TRUE(writer.sink->namer);

  std::string second, third;
  std::thread streaming([&] {
    second = writer.sink->namer();
    third = writer.sink->namer();
  });
  streaming.join();
  EXPECT_EQ(second, dir / "Clip0003.AVI");
  EXPECT_EQ(third, dir / "Clip0004.AVI");
  frame.TakeBegunClips();  // the clock's tick
  EXPECT_EQ(frame.m_clipIndex, 5);
  // A reset while the clip runs holds until the writer begins another one.
  frame.m_clipIndex = 0;
  frame.TakeBegunClips();
  EXPECT_EQ(frame.m_clipIndex, 0);
  EXPECT_EQ(writer.sink->namer(), dir / "Clip0005.AVI");

  frame.TearDownGraph();
  EXPECT_EQ(frame.m_clipIndex, 6);
  EXPECT_FALSE(Marked(dir / "Clip0005.AVI"));
  // A writer that asks after the recording has ended gets no name from the frame.
  EXPECT_EQ(writer.sink->namer(), "");
}

}  // namespace
