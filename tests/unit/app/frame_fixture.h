// A CMainFrame on a fake window and system, with its executable in a temp folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/main_frame.h"
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
      frame = std::make_unique<CMainFrame>(system, nullptr);
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
  std::unique_ptr<CMainFrame> frame;
};
