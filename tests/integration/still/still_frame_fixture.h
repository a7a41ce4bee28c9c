// A main frame previewing the virtual camera, for the two snapshot paths: its system
// really sleeps (the menu snapshot waits for a frame), its snapshot folder is a temporary
// one, and its still-pin callback is counted on the way in.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>

#include "frame_fixture.h"
#include "plugins/transfer/transfer_register.h"

// Counts the still frames the grabber hands on, then lets the frame's own callback work.
class CountingCallback : public media::SampleGrabberCallback {
 public:
  media::Status BufferCB(double time, const uint8_t* data, long length) override {
    const media::Status result = inner->BufferCB(time, data, length);
    (result == media::kOk ? written : failed)++;
    return result;
  }
  int Calls() const { return written.load() + failed.load(); }
  media::SampleGrabberCallback* inner = nullptr;
  std::atomic<int> written{0};
  std::atomic<int> failed{0};
};

class StillFrameTest : public MainFrameTest<SleepingSystem> {
 protected:
  void SetUp() override {
    MainFrameTest::SetUp();
    folder = dir + "/Pictures";
    std::filesystem::create_directories(folder);
    system.pictures = folder;
    transfer::RegisterStatic();
  }
  void TearDown() override {
    if (frame) frame->OnClose();
    MainFrameTest::TearDown();
  }

  // The camera with these formats, the first one captured; the preview runs once this
  // returns (the test fails otherwise).
  void Start(std::vector<virtualcam::Format> formats, bool onlyOwnRates = false) {
    virtualcam::CameraSpec camera = CameraWith(std::move(formats));
    camera.refusesFrameRate = onlyOwnRates;  // a camera at 5 fps really runs at 5
    UseCamera(camera);
    frame = std::make_unique<CMainFrame>(system, &factory);
    frame->AttachWindow(window);
    counting.inner = frame->m_pStillCallback;
    frame->m_pStillCallback = &counting;  // what the preview build registers
    ASSERT_EQ(frame->OnCreate(), 0);
    frame->ActivateFrame();
    ASSERT_EQ(frame->m_graphRunning, 1);
    ASSERT_TRUE(WaitFor([&] { return window.surface.Frames() >= 2; }));
  }

  // Presses the camera's button and waits until the callback has taken the frame.
  media::Status Press() {
    const int before = counting.Calls();
    virtualcam::PressSnapshotButton(0);
    EXPECT_TRUE(WaitFor([&] { return counting.Calls() > before; }, std::chrono::seconds(20)));
    return counting.failed.load() ? media::kFail : media::kOk;
  }

  std::string Path(const std::string& name) const { return folder + "/" + name; }

  std::string folder;
  CountingCallback counting;
};
