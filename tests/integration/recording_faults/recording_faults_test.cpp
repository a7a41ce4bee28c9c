// The main frame on the real media layer when its graph meets a fault: the camera
// unplugged while recording or previewing, the file writer out of room, a nearly full
// folder. Nothing recorded is lost, one message says what happened, nothing hangs.
#include <filesystem>
#include <thread>

#include "capture/unfinished_clips.h"
#include "clip_probe.h"
#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "platform/gst/clip_repairer.h"
#include "platform/gst/stock_filters.h"
#include "plugins/transfer/transfer_register.h"
#include "res/menu_ids.h"

namespace fs = std::filesystem;

namespace {

class RecordingFaultTest : public PreviewFrameTest {
 protected:
  void Open(virtualcam::CameraSpec camera) {
    transfer::RegisterStatic();
    camera.formats = {{"YUY2", 320, 240, 30}};
    virtualcam::Configure({camera}, {virtualcam::MicrophoneSpec{}});
    clips = dir + "/clips";
    fs::create_directories(clips);
    Start();
    ASSERT_EQ(frame->m_graphRunning, 1);
    frame->m_captureFolder = clips;
    frame->m_recordAudio = 1;
    frame->m_frameRate = 30;
  }

  // Timer ticks on the fake clocks until the condition holds; real time passes meanwhile.
  bool TickUntil(const std::function<bool()>& condition, int seconds = 60) {
    for (int i = 0; i < seconds * 20; ++i) {
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      system.Advance(100);
      frame->OnTimer(CMainFrame::kTimerId);
    }
    return condition();
  }
  void Ticks(int n) {
    int i = 0;
    TickUntil([&] { return i++ >= n; });
  }

  std::string Label() { return window.GetMenu()->TextOfCommand(menu_id::kStartStopCapture); }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& m : window.messages) texts.push_back(m.text);
    return texts;
  }
  std::string Text(TextId id) const { return LangText(id, frame->m_languageIndex); }

  // A clip both readers read whole, with picture and sound; its video frames.
  long CheckPlayable(const std::string& path) {
    const ProbedClip ff = ProbeWithFfprobe(path);
    EXPECT_TRUE(ff.ok) << ff.error;
    const ProbedClip gs = ProbeWithGStreamer(path);
    EXPECT_TRUE(gs.ok) << gs.error;
    if (!ff.ok || !gs.ok || !ff.Find("video") || !gs.Find("video")) return 0;
    EXPECT_TRUE(ff.Find("audio") && gs.Find("audio")) << "no sound in " << path;
    EXPECT_EQ(gs.Find("video")->frames, ff.Find("video")->frames);
    return ff.Find("video")->frames;
  }

  std::string clips;
};

TEST_F(RecordingFaultTest, ACameraUnpluggedWhileRecordingLeavesAWholeClipAndOneMessage) {
  virtualcam::CameraSpec camera;
  camera.unplugAfterFrames = 150;  // counted again from the recording's start
  Open(camera);
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  EXPECT_TRUE(fs::exists(clips + "/Clip0000.AVI.unfinished"));

  ASSERT_TRUE(TickUntil([&] { return frame->m_recording == 0; })) << "the recording never ended";
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
  EXPECT_EQ(frame->m_captureMode, 0);
  EXPECT_EQ(Label(), "Start Capture(&S)");
  EXPECT_FALSE(fs::exists(clips + "/Clip0000.AVI.unfinished")) << "the clip was finished";
  const long frames = CheckPlayable(clips + "/Clip0000.AVI");
  EXPECT_GE(frames, 140);
  EXPECT_LE(frames, 152);

  // The clock has stopped: the status pane names the camera again, not the time.
  Ticks(3);
  EXPECT_EQ(window.statusTexts.back().rfind("Ostrel Virtual Camera", 0), 0u)
      << window.statusTexts.back();
  // A camera that is gone gets no preview to fail once more: one message is enough.
  EXPECT_EQ(frame->m_graphRunning, 0);
  Ticks(10);
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
}

TEST_F(RecordingFaultTest, ACameraUnpluggedDuringThePreviewStopsItWithOneMessage) {
  virtualcam::CameraSpec camera;
  camera.unplugAfterFrames = 20;
  Open(camera);
  ASSERT_TRUE(TickUntil([&] { return frame->m_graphRunning == 0; }));
  Ticks(10);
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_CANNOT_PREVIEW)});
  EXPECT_EQ(frame->m_recording, 0);
  // The frame goes on: the close after it neither hangs nor fails.
  frame->OnClose();
}

TEST_F(RecordingFaultTest, AWriterOutOfRoomStopsTheRecordingAndTheNextStartRepairsTheClip) {
  // The disk is full after about 2 s of 320x240 at 30 frames a second with sound.
  factory.RegisterFilter(media::clsid::kFileWriter,
                         [] { return media::gst::MakeFileWriter(10u << 20); });
  Open({});
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  ASSERT_TRUE(TickUntil([&] { return frame->m_recording == 0; })) << "the recording never ended";
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
  EXPECT_EQ(Label(), "Start Capture(&S)");
  EXPECT_EQ(frame->m_graphRunning, 1) << "the camera is fine: the preview is back";
  const std::string clip = clips + "/Clip0000.AVI";
  ASSERT_TRUE(fs::exists(clip));
  EXPECT_LE(fs::file_size(clip), 10u << 20);
  // Its index could not be written: the marker stays for the next start.
  EXPECT_TRUE(fs::exists(clip + ".unfinished"));
  frame->OnClose();
  frame.reset();

  platform::FakeSystem nextStart;  // another process
  nextStart.processToken = "boot-1 4343 200";
  media::gst::GstClipRepairer repairer;
  std::ostringstream log;
  EXPECT_EQ(unfinished_clips::RepairAbandoned(clips, nextStart, repairer, log), 1) << log.str();
  EXPECT_GE(CheckPlayable(clip), 45);
}

TEST_F(RecordingFaultTest, ANearlyFullFolderRefusesTheStartAndStopsARecordingInTime) {
  Open({});
  system.freeBytes = 2 << 20;  // less than 5 s of 320x240 at 30 frames a second
  frame->OnStartStopCapture();
  EXPECT_EQ(frame->m_recording, 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
  EXPECT_EQ(frame->m_graphRunning, 1) << "the preview goes on";
  EXPECT_FALSE(fs::exists(clips + "/Clip0000.AVI"));

  system.freeBytes = 1ll << 40;
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  Ticks(20);
  system.freeBytes = 3 << 20;  // the disk fills up
  ASSERT_TRUE(TickUntil([&] { return frame->m_recording == 0; }));
  EXPECT_EQ(Messages(), (std::vector<std::string>{Text(TXT_RECORD_ERROR), Text(TXT_RECORD_ERROR)}));
  EXPECT_EQ(Label(), "Start Capture(&S)");
  EXPECT_FALSE(fs::exists(clips + "/Clip0000.AVI.unfinished"));
  EXPECT_GE(CheckPlayable(clips + "/Clip0000.AVI"), 20);
}

}  // namespace
