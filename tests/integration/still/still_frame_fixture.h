// A main frame previewing the virtual camera, for the two snapshot paths: its system
// really sleeps (the menu snapshot waits for a frame), its snapshot folder is a temporary
// one, and its still-pin callback is counted on the way in.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/main_frame.h"
#include "plugins/transfer/transfer_register.h"
#include "preview_support.h"

class SleepingSystem : public platform::FakeSystem {
 public:
  void Sleep(uint32_t ms) override {
    FakeSystem::Sleep(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

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

class StillFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ostrel-still-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = tmpl;
    folder = dir + "/Pictures";
    std::filesystem::create_directories(folder);
    system.modulePath = dir + "/ostrel";
    system.documents = dir;
    system.pictures = folder;
    system.config = dir + "/config";
    g_stillSizeIndex = 0;
    transfer::RegisterStatic();
  }
  void TearDown() override {
    if (frame) frame->OnClose();
    frame.reset();
    std::filesystem::remove_all(dir);
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

  // The menu snapshot. The fixed 50 ms wait can see no frame on a loaded machine; that
  // "Snapshot Error" is retried a few times, any other result is returned.
  int32_t Snap() {
    for (int attempt = 0;; ++attempt) {
      const size_t shown = window.messages.size();
      const int32_t result = frame->TakeSnapshot();
      if (result != 0 || attempt == 5 || window.messages.size() != shown + 1 ||
          window.messages.back().text != "Snapshot Error")
        return result;
      window.messages.pop_back();
    }
  }

  // Presses the camera's button and waits until the callback has taken the frame.
  media::Status Press() {
    const int before = counting.Calls();
    virtualcam::PressSnapshotButton(0);
    EXPECT_TRUE(WaitFor([&] { return counting.Calls() > before; }, std::chrono::seconds(20)));
    return counting.failed.load() ? media::kFail : media::kOk;
  }

  std::string Path(const std::string& name) const { return folder + "/" + name; }

  std::string dir;
  std::string folder;
  SleepingSystem system;
  PreviewWindow window;
  media::gst::GstMediaFactory factory{"ostrelvirtualdeviceprovider"};
  CountingCallback counting;
  std::unique_ptr<CMainFrame> frame;
};
