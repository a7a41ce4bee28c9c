// A main frame on the real media layer with a recording window, its executable (and so its
// settings file) in a temporary folder. PreviewFrameTest runs it on the virtual camera with
// fake clocks; a fixture on real cameras names its own device provider and system.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "app/main_frame.h"
#include "preview_support.h"

// Fake clocks, but sleeping really sleeps: a wait for a frame lets one through.
class SleepingSystem : public platform::FakeSystem {
 public:
  void Sleep(uint32_t ms) override {
    FakeSystem::Sleep(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

template <class System>
class MainFrameTest : public ::testing::Test {
 protected:
  explicit MainFrameTest(const char* provider = "ostrelvirtualdeviceprovider")
      : factory(provider) {}

  void SetUp() override {
    char tmpl[] = "/tmp/ostrel-preview-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = tmpl;
    system.modulePath = dir + "/ostrel";
    system.documents = dir;
    system.config = dir + "/config";
    g_stillSizeIndex = 0;
  }
  void TearDown() override {
    frame.reset();
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }

  // Creation and the first activation, as the application runs them.
  void Start(const char* locale = "en_US.UTF-8") {
    system.locale = locale;
    frame = std::make_unique<CMainFrame>(system, &factory);
    frame->AttachWindow(window);
    ASSERT_EQ(frame->OnCreate(), 0);
    frame->ActivateFrame();
  }

  std::string Settings() const {
    std::ifstream in(dir + "/ostrel.INI");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // The frames the first camera has delivered into the capture branch.
  int Delivered() {
    std::shared_ptr<media::FrameCounters> counters;
    frame->m_pBuilder->FindFrameCounters(media::PinCategory::Capture, media::MajorType::Video,
                                         *frame->m_videoDevices[0], counters);
    int32_t n = 0;
    if (counters) counters->GetNumNotDropped(n);
    return n;
  }

  // Timer ticks 100 ms apart on the fake clocks, while real time lets frames through.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(tickRealMs));
      system.Advance(100);
      frame->OnTimer(CMainFrame::kTimerId);
    }
  }

  // The menu snapshot. Its fixed 50 ms wait can see no frame on a loaded machine; that
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

  std::string dir;
  System system;
  PreviewWindow window;
  media::gst::GstMediaFactory factory;
  std::unique_ptr<CMainFrame> frame;
  int tickRealMs = 20;  // the real time between two ticks
};

using PreviewFrameTest = MainFrameTest<platform::FakeSystem>;
