// The 100 ms timer: the idle and recording status texts, the measured frame rate and
// the time limit, on fake clocks and a camera whose frame counters the test sets.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "res/menu_ids.h"

namespace {

struct FakeCounters : media::FrameCounters {
  int32_t delivered = 0;
  bool readable = true;
  media::Status GetNumDropped(int32_t& d) override {
    d = 0;
    return readable ? media::kOk : media::kFail;
  }
  media::Status GetNumNotDropped(int32_t& d) override {
    d = delivered;
    return readable ? media::kOk : media::kFalse;
  }
};

// A camera with a capture pin that counts only video (no interleaved stream).
struct FakeBuilder : media::CaptureGraphBuilder {
  std::shared_ptr<FakeCounters> counters = std::make_shared<FakeCounters>();
  media::Status SetFiltergraph(const std::shared_ptr<media::Graph>&) override { return media::kOk; }
  media::Status FindPin(media::Filter&, media::PinDirection, media::PinCategory, media::MajorType,
                        bool, int, std::shared_ptr<media::Pin>&) override {
    return media::kFail;
  }
  media::Status FindStreamConfig(media::PinCategory, media::MajorType, media::Filter&,
                                 std::shared_ptr<media::StreamConfig>&) override {
    return media::kFail;
  }
  media::Status FindFrameCounters(media::PinCategory category, media::MajorType major,
                                  media::Filter&,
                                  std::shared_ptr<media::FrameCounters>& found) override {
    if (category != media::PinCategory::Capture || major != media::MajorType::Video)
      return media::kFail;
    found = counters;
    return media::kOk;
  }
  media::Status RenderStream(media::PinCategory, media::MajorType, media::Filter&, media::Filter*,
                             media::Filter*) override {
    return media::kFail;
  }
};

struct FakeCamera : media::Filter {
  std::string Name() const override { return "Video Capture device"; }
  std::string ClassId() const override { return ""; }
  media::Status EnumPins(std::vector<std::shared_ptr<media::Pin>>& pins) override {
    pins.clear();
    return media::kOk;
  }
};

// A graph that only reports what the test queues.
struct ReportingGraph : media::Graph {
  std::vector<media::GraphEvent> events;
  media::Status AddFilter(const std::shared_ptr<media::Filter>&, const std::string&) override {
    return media::kFail;
  }
  media::Status RemoveFilter(media::Filter&) override { return media::kFail; }
  media::Status Connect(media::Pin&, media::Pin&) override { return media::kFail; }
  media::Status Disconnect(media::Pin&) override { return media::kFalse; }
  std::vector<std::shared_ptr<media::Filter>> Filters() const override { return {}; }
  std::shared_ptr<media::Filter> FindFilterByName(const std::string&) const override {
    return nullptr;
  }
  std::shared_ptr<media::MediaControl> GetMediaControl() override { return nullptr; }
  bool NextEvent(media::GraphEvent& event) override {
    if (events.empty()) return false;
    event = events.front();
    events.erase(events.begin());
    return true;
  }
};

class RecordingClockTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    Start();
    CMainFrame& f = Frame();
    f.m_videoDeviceNames[0] = "Cam";
    f.m_videoDevices[0] = std::make_shared<FakeCamera>();
    f.m_videoDeviceCount = 1;
    f.m_selectedVideoDevice = 0;
    f.m_pBuilder = builder;
  }

  // One timer tick, 100 ms after the last, with the camera delivering `frames` meanwhile.
  void Tick(int frames = 3) {
    system.Advance(100);
    builder->counters->delivered += frames;
    Frame().OnTimer(CMainFrame::kTimerId);
  }

  void BeginRecording() {
    Frame().m_captureMode = 1;
    Frame().m_recording = 1;
    Frame().m_graphRunning = 1;
    Frame().StartRecordingClock();
    window.GetMenu()->ModifyByCommand(menu_id::kStartStopCapture,
                                      LangText(TXT_STOP_CAPTURE, Frame().m_languageIndex));
  }

  std::string Label() { return window.GetMenu()->TextOfCommand(menu_id::kStartStopCapture); }
  const std::string& Status() const { return window.statusTexts.back(); }

  std::shared_ptr<FakeBuilder> builder = std::make_shared<FakeBuilder>();
};

TEST_F(RecordingClockTest, IdleTheStatusShowsTheCameraAndItsRateAveragedOverFiveTicks) {
  for (int i = 0; i < 12; ++i) Tick(3);
  EXPECT_EQ(Status(), "Cam -- 30.0 fps");
  for (int i = 0; i < 12; ++i) Tick(2);
  EXPECT_EQ(Status(), "Cam -- 20.0 fps");
  Frame().m_selectedVideoDevice = -1;
  const size_t shown = window.statusTexts.size();
  Tick();
  EXPECT_EQ(window.statusTexts.size(), shown) << "without a camera the pane keeps its text";
}

TEST_F(RecordingClockTest, CountersThatCannotBeReadShowTheTextWithoutARate) {
  builder->counters->readable = false;
  Tick();
  EXPECT_EQ(Status(), "Cam");
  EXPECT_DOUBLE_EQ(Frame().MeasureFrameRate(), -0.1);
  Frame().m_pBuilder.reset();
  Tick();
  EXPECT_EQ(Status(), "Cam");
  BeginRecording();
  Tick();
  EXPECT_EQ(Status(), "Time elapsed: 00:00:00.0");
}

TEST_F(RecordingClockTest, ACameraCountingFromZeroAgainNeverShowsANegativeRate) {
  builder->counters->delivered = 100000;
  for (int i = 0; i < 12; ++i) Tick(3);
  builder->counters->delivered = 0;  // the graph was rebuilt
  for (int i = 0; i < 12; ++i) {
    Tick(3);
    EXPECT_EQ(Status().find('-', 6), std::string::npos) << Status();
    EXPECT_EQ(Status().rfind("Cam -- ", 0), 0u) << Status();
  }
  EXPECT_EQ(Status(), "Cam -- 30.0 fps");
}

TEST_F(RecordingClockTest, TheRecordingTextShowsElapsedTimeAndTheTickCountAsTenths) {
  for (int i = 0; i < 12; ++i) Tick(3);
  BeginRecording();
  Tick();
  EXPECT_EQ(Status(), "Time elapsed: 00:00:00.0 -- 30.0 fps");
  Tick();
  EXPECT_EQ(Status(), "Time elapsed: 00:00:00.1 -- 30.0 fps");
  Frame().m_recordTicks = 3;
  system.Advance(65300 - 300);
  Frame().OnTimer(1);
  EXPECT_EQ(Status().rfind("Time elapsed: 00:01:05.3 -- ", 0), 0u) << Status();
  // A day and more: the hours within the day.
  system.Advance(25 * 3600 * 1000);
  Frame().OnTimer(1);
  EXPECT_EQ(Status().rfind("Time elapsed: 01:01:05.4", 0), 0u) << Status();
  EXPECT_EQ(Frame().m_recording, 1);
}

TEST_F(RecordingClockTest, SettingTheSystemClockMovesNeitherTheShownTimeNorTheLimit) {
  Frame().m_timeLimitEnabled = 1;
  Frame().m_timeLimitSeconds = 10;
  BeginRecording();
  Tick();
  system.wallSeconds -= 3600;  // set back an hour
  Tick();
  EXPECT_EQ(Status().rfind("Time elapsed: 00:00:00.1", 0), 0u) << Status();
  system.wallSeconds += 7200;  // and forward past the limit
  Tick();
  EXPECT_EQ(Frame().m_recording, 1);
  EXPECT_EQ(Status().rfind("Time elapsed: 00:00:00.2", 0), 0u) << Status();
}

TEST_F(RecordingClockTest, TheLimitEndsTheRecordingAtTheTickNearestToIt) {
  // Regular ticks stop at the limit itself; ticks that come 70 ms apart, or that fall 60 ms
  // short of it, stop within half a tick of it, never a tick early.
  struct Case {
    int limit;
    uint32_t period;
    uint32_t firstTickAfter;
  };
  for (const Case c :
       {Case{1, 100, 100}, Case{2, 100, 100}, Case{5, 100, 100}, Case{10, 100, 100},
        Case{3600, 100, 100}, Case{5, 70, 70}, Case{2, 100, 40}, Case{10, 130, 10}}) {
    SCOPED_TRACE(testing::Message() << "limit " << c.limit << " period " << c.period);
    window.statusTexts.clear();
    Frame().m_timeLimitEnabled = 1;
    Frame().m_timeLimitSeconds = c.limit;
    Frame().m_previewOn = 0;  // no preview to bring back
    BeginRecording();
    int64_t stoppedAt = 0;
    for (uint32_t next = c.firstTickAfter;
         Frame().m_recording && stoppedAt < int64_t{c.limit + 2} * 1000; next = c.period) {
      system.Advance(next);
      Frame().OnTimer(CMainFrame::kTimerId);
      stoppedAt = system.monotonicMs - Frame().m_recordStartMs;
    }
    EXPECT_EQ(Frame().m_recording, 0);
    EXPECT_GE(stoppedAt, int64_t{c.limit} * 1000 - 50);
    EXPECT_LE(stoppedAt, int64_t{c.limit} * 1000 + std::max<int64_t>(50, c.period - 50));
    if (c.period == 100 && c.firstTickAfter == 100) {
      EXPECT_EQ(stoppedAt, int64_t{c.limit} * 1000);
    }
    // The last text still counts whole seconds and the ticks' digit.
    const int64_t shownSeconds = (stoppedAt / 1000) % 60;
    EXPECT_NE(Status().find(":" + std::string(shownSeconds < 10 ? "0" : "") +
                            std::to_string(shownSeconds) + "."),
              std::string::npos)
        << Status();
    EXPECT_EQ(Frame().m_captureMode, 0);
    EXPECT_EQ(Frame().m_graphRunning, 0);
    EXPECT_EQ(Label(), LangText(TXT_START_CAPTURE, Frame().m_languageIndex));
  }
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(RecordingClockTest, ALimitPassedWhileTheTimerWasHeldUpStopsAtTheNextTick) {
  Frame().m_timeLimitEnabled = 1;
  Frame().m_timeLimitSeconds = 5;
  Frame().m_previewOn = 0;
  BeginRecording();
  for (int i = 0; i < 49; ++i) Tick();
  ASSERT_EQ(Frame().m_recording, 1);
  system.Advance(1300);  // the user-interface thread was busy through second 5
  Tick();
  EXPECT_EQ(Frame().m_recording, 0);
  EXPECT_EQ(Label(), LangText(TXT_START_CAPTURE, Frame().m_languageIndex));
}

TEST_F(RecordingClockTest, ALimitOfZeroEndsTheRecordingWithinItsFirstSecond) {
  Frame().m_timeLimitEnabled = 1;
  Frame().m_timeLimitSeconds = 0;
  Frame().m_previewOn = 0;
  BeginRecording();
  system.Advance(700);  // started late: the first tick comes most of a second later
  for (int i = 0; i < 10 && Frame().m_recording; ++i) Tick();
  EXPECT_EQ(Frame().m_recording, 0);
  EXPECT_LT(system.monotonicMs - Frame().m_recordStartMs, 1600);
}

TEST_F(RecordingClockTest, WithoutATimeLimitTheRecordingGoesOn) {
  Frame().m_timeLimitEnabled = 0;
  Frame().m_timeLimitSeconds = 1;
  BeginRecording();
  for (int i = 0; i < 40; ++i) Tick();
  EXPECT_EQ(Frame().m_recording, 1);
  EXPECT_EQ(Label(), LangText(TXT_STOP_CAPTURE, Frame().m_languageIndex));
}

TEST_F(RecordingClockTest, ARecordingWhoseCameraWasUnpluggedEndsAtTheNextTick) {
  auto graph = std::make_shared<ReportingGraph>();
  Frame().m_pGraph = graph;
  Frame().m_previewOn = 0;
  BeginRecording();
  graph->events.push_back({media::GraphEvent::Kind::Complete, "Start tee", ""});
  Tick();
  EXPECT_EQ(Frame().m_recording, 1) << "the end of a stream is no failure";
  graph->events.push_back({media::GraphEvent::Kind::DeviceLost, "Video Capture device", "gone"});
  Tick();
  EXPECT_EQ(Frame().m_recording, 0);
  EXPECT_EQ(Frame().m_captureMode, 0);
  EXPECT_EQ(Label(), LangText(TXT_START_CAPTURE, Frame().m_languageIndex));
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, LangText(TXT_RECORD_ERROR, Frame().m_languageIndex));
  EXPECT_EQ(window.messages[0].detail, "The camera was unplugged or stopped sending pictures.");
  // A clip whose writer failed on a full disk says so.
  system.freeBytes = 4096;
  BeginRecording();
  graph->events.push_back({media::GraphEvent::Kind::ErrorAbort, "FileWriter", "write failed"});
  Tick();
  EXPECT_EQ(Frame().m_recording, 0);
  ASSERT_EQ(window.messages.size(), 2u);
  EXPECT_EQ(window.messages[1].detail.rfind("There is no room left on the disk of ", 0), 0u)
      << window.messages[1].detail;
  graph->events.push_back({media::GraphEvent::Kind::DeviceLost, "Video Capture device", "gone"});
  Tick();
  EXPECT_EQ(Status().rfind("Cam -- ", 0), 0u) << "idle, the error only logged";
}

}  // namespace
