// A main frame on the real media layer with the virtual camera and a recording window,
// its executable (and so its settings file) in a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/main_frame.h"
#include "preview_support.h"

class PreviewFrameTest : public ::testing::Test {
 protected:
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
    std::filesystem::remove_all(dir);
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

  std::string dir;
  platform::FakeSystem system;
  PreviewWindow window;
  media::gst::GstMediaFactory factory{"ostrelvirtualdeviceprovider"};
  std::unique_ptr<CMainFrame> frame;
};
