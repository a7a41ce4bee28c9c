// Recordings as the main frame makes them, on the real media layer: the command that
// starts and stops them, the clock and its time limit, and the close that ends one.
#include "clip_probe.h"
#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "plugins/transfer/transfer_register.h"
#include "res/menu_ids.h"

namespace {

class RecordingFrameTest : public PreviewFrameTest {
 protected:
  void SetUp() override {
    PreviewFrameTest::SetUp();
    transfer::RegisterStatic();
    virtualcam::CameraSpec camera;
    camera.formats = {{"YUY2", 640, 480, 30}};
    virtualcam::Configure({camera}, {virtualcam::MicrophoneSpec{}});
    clips = dir + "/clips";
    std::filesystem::create_directories(clips);
  }

  void StartWithSound() {
    Start();
    ASSERT_EQ(frame->m_graphRunning, 1);
    frame->m_captureFolder = clips;
    frame->m_recordAudio = 1;
    frame->m_frameRate = 30;
  }

  void WaitForFrames(int n) {
    const int start = Delivered();
    ASSERT_TRUE(WaitFor([&] { return Delivered() >= start + n; }, std::chrono::seconds(20)));
  }

  std::string Label() { return window.GetMenu()->TextOfCommand(menu_id::kStartStopCapture); }

  std::string clips;
};

TEST_F(RecordingFrameTest, StartCaptureRecordsWithSoundAndStopBringsThePreviewBack) {
  StartWithSound();
  frame->OnStartStopCapture();
  EXPECT_EQ(frame->m_recording, 1);
  EXPECT_EQ(Label(), "Stop Capture(&S)");
  WaitForFrames(30);
  Ticks(3);
  EXPECT_EQ(window.statusTexts.back().rfind("Time elapsed: 00:00:00.2 -- ", 0), 0u)
      << window.statusTexts.back();
  // Snap Shot while recording takes its picture from the frames on their way into the clip.
  frame->m_snapshotFolder = clips;
  system.realTime = true;  // the snapshot's wait lets a frame through
  EXPECT_EQ(frame->TakeSnapshot(), 1) << (window.messages.empty() ? "" : window.messages[0].text);
  system.realTime = false;
  EXPECT_EQ(std::filesystem::file_size(clips + "/Still0000.BMP"), 54u + 640 * 480 * 3);
  frame->OnStartStopCapture();
  EXPECT_EQ(frame->m_recording, 0);
  EXPECT_EQ(frame->m_graphRunning, 1);
  EXPECT_TRUE(frame->m_pTransferFilter) << "the preview graph again";
  EXPECT_EQ(Label(), "Start Capture(&S)");
  EXPECT_TRUE(window.messages.empty());
  const ProbedClip clip = ProbeWithFfprobe(clips + "/Clip0000.AVI");
  ASSERT_TRUE(clip.ok) << clip.error;
  EXPECT_TRUE(clip.Find("video") && clip.Find("audio"));
  EXPECT_GE(clip.Find("video")->frames, 30);
}

TEST_F(RecordingFrameTest, TheTimeLimitEndsTheRecordingByItselfAndTheClipIsWhole) {
  StartWithSound();
  frame->m_timeLimitEnabled = 1;
  frame->m_timeLimitSeconds = 1;
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  Ticks(4);  // with the waits that let the graph settle, 0.9 s
  EXPECT_EQ(frame->m_recording, 1);
  Ticks(1);  // 1.0 s
  EXPECT_EQ(frame->m_recording, 0);
  EXPECT_EQ(frame->m_graphRunning, 1) << "the preview is back";
  EXPECT_EQ(Label(), "Start Capture(&S)");
  Ticks(1);
  EXPECT_EQ(window.statusTexts.back().rfind("Ostrel Virtual Camera -- ", 0), 0u)
      << window.statusTexts.back();
  const ProbedClip clip = ProbeWithGStreamer(clips + "/Clip0000.AVI");
  ASSERT_TRUE(clip.ok) << clip.error;
  EXPECT_TRUE(clip.Find("video") && clip.Find("audio"));
}

TEST_F(RecordingFrameTest, AClipEndedByItsTimeLimitLastsTheLimit) {
  StartWithSound();
  frame->m_timeLimitEnabled = 1;
  frame->m_timeLimitSeconds = 2;
  system.realTime = true;  // the program's own waits, and the timer on real time
  for (const char* clip : {"Clip0000.AVI", "Clip0001.WMV"}) {
    frame->m_recordFormat = clip[9] == 'W' ? 1 : 0;
    frame->OnStartStopCapture();
    ASSERT_EQ(frame->m_recording, 1);
    const auto start = std::chrono::steady_clock::now();
    while (frame->m_recording &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(6)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      frame->OnTimer(CMainFrame::kTimerId);
    }
    ASSERT_EQ(frame->m_recording, 0);
    const ProbedClip probed = ProbeWithFfprobe(clips + "/" + clip);
    ASSERT_TRUE(probed.ok) << probed.error;
    const ProbedStream* video = probed.Find("video");
    ASSERT_TRUE(video);
    EXPECT_NEAR(video->end - video->start, 2.0, 0.15) << clip;
  }
}

TEST_F(RecordingFrameTest, ClosingTheWindowWhileRecordingFinishesTheClip) {
  StartWithSound();
  frame->m_recordFormat = 1;
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  WaitForFrames(20);
  frame->OnClose();
  const ProbedClip ff = ProbeWithFfprobe(clips + "/Clip0000.WMV");
  ASSERT_TRUE(ff.ok) << ff.error;
  ASSERT_TRUE(ff.Find("video") && ff.Find("audio"));
  EXPECT_GE(ff.Find("video")->frames, 20);
  EXPECT_NE(Settings().find("AviFileIndex=1"), std::string::npos) << "the next clip's number";
}

TEST_F(RecordingFrameTest, AClipFolderThatCannotBeWrittenStopsNothingAndSaysSo) {
  StartWithSound();
  frame->m_captureFolder = dir + "/gone";
  frame->OnStartStopCapture();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, LangText(TXT_RECORD_ERROR, frame->m_languageIndex));
  EXPECT_EQ(window.messages[0].icon, platform::MessageIcon::Error);
  EXPECT_EQ(frame->m_recording, 0);
  EXPECT_EQ(frame->m_captureMode, 0);
  EXPECT_EQ(frame->m_graphRunning, 1) << "the preview goes on";
  EXPECT_EQ(Label(), "Start Capture(&S)");
  Ticks(1);
  EXPECT_EQ(window.statusTexts.back().rfind("Ostrel Virtual Camera", 0), 0u);
}

}  // namespace
