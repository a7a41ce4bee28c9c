// A main frame on the real media layer, previewing a 320x240 virtual camera with a
// microphone into a scratch capture folder, with the timer ticked by the test.
#pragma once

#include <filesystem>
#include <functional>
#include <thread>

#include "clip_probe.h"
#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "plugins/transfer/transfer_register.h"
#include "res/menu_ids.h"

namespace fs = std::filesystem;

class RecordingFaultTest : public PreviewFrameTest {
 protected:
  // The frame on the test's own system when one is given (its clocks are the ones the
  // ticks move), recording into the folder (by default a fresh one in the scratch folder).
  void Open(virtualcam::CameraSpec camera, platform::FakeSystem* own = nullptr,
            const std::string& folder = "") {
    transfer::RegisterStatic();
    camera.formats = {{"YUY2", 320, 240, 30}};
    virtualcam::Configure({camera}, {virtualcam::MicrophoneSpec{}});
    clips = folder.empty() ? dir + "/clips" : folder;
    fs::create_directories(clips);
    if (own) {
      clocks = own;
      frame = std::make_unique<CMainFrame>(*own, &factory);
      frame->AttachWindow(window);
      ASSERT_EQ(frame->OnCreate(), 0);
      frame->ActivateFrame();
    } else {
      Start();
    }
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
      clocks->Advance(100);
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
  platform::FakeSystem* clocks = &system;
};
