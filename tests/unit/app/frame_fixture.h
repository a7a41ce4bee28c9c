// A CMainFrame on a fake window and system, with its executable in a temp folder; on the
// fake media layer too, for the commands that need cameras.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/main_frame.h"
#include "platform/fakes/fake_media.h"
#include "platform/fakes/fake_system.h"
#include "platform/fakes/fake_window.h"
#include "temp_dir.h"

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "Documents");
    system.modulePath = dir / "bin/ostrel";
    system.documents = dir / "Documents";
    system.config = dir / "config/ostrel";
    g_stillSizeIndex = 0;
  }

  CMainFrame& Frame() {
    if (!frame) {
      frame = std::make_unique<CMainFrame>(system, media);
      frame->AttachWindow(window);
    }
    return *frame;
  }

  // Creation and first activation, as the application runs them.
  void Start() {
    ASSERT_EQ(Frame().OnCreate(), 0);
    window.Show();
    Frame().ActivateFrame();
  }

  std::string IniPath() const { return dir / "bin/ostrel.INI"; }

  TempDir dir;
  platform::FakeSystem system;
  platform::FakeWindow window;
  media::MediaFactory* media = nullptr;
  std::unique_ptr<CMainFrame> frame;
};

// The factory's cameras and microphones are set before Start; the messages of the start
// (none is expected) are cleared so that a test counts only its own.
class FakeLayerFrameTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    media = &factory;
  }
  void TearDown() override { frame.reset(); }  // before the factory it uses goes
  void StartOnFakeLayer() {
    ASSERT_NO_FATAL_FAILURE(Start());
    window.messages.clear();
  }

  media::fake::FakeMediaFactory factory;
};
