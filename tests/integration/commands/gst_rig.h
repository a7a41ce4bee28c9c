// The command table's rig on the real GStreamer layer: virtual cameras and microphones,
// the main frame on a fake window whose video surface counts the frames it is shown.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "command_states.h"
#include "plugins/transfer/transfer_register.h"
#include "preview_support.h"

class GstRig : public command_states::Rig {
 public:
  GstRig() {
    char tmpl[] = "/tmp/ostrel-commands-XXXXXX";
    if (::mkdtemp(tmpl)) dir_ = tmpl;
    system.modulePath = dir_ + "/ostrel";
    system.documents = dir_;
    system.config = dir_ + "/config";
    transfer::RegisterStatic();
  }
  ~GstRig() override {
    frame_.reset();
    window_.reset();
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  void Start(const command_states::Devices& devices) override {
    frame_.reset();
    window_ = std::make_unique<PreviewWindow>();
    std::vector<virtualcam::CameraSpec> cameras;
    for (int i = 0; i < devices.cameras; ++i) {
      virtualcam::CameraSpec camera;
      camera.name = "Camera " + std::to_string(i);
      if (i == 0) camera.failsToStart = devices.firstCameraFailsToStart;
      if (i == 1) camera.formats = {{"UYVY", 320, 240, 30}, {"YUY2", 640, 480, 30}};
      cameras.push_back(camera);
    }
    std::vector<virtualcam::MicrophoneSpec> mics;
    for (int i = 0; i < devices.microphones; ++i) {
      virtualcam::MicrophoneSpec mic;
      mic.name = "Microphone " + std::to_string(i);
      mics.push_back(mic);
    }
    virtualcam::Configure(std::move(cameras), std::move(mics));
    g_stillSizeIndex = 0;
    frame_ = std::make_unique<CMainFrame>(system, &factory_);
    frame_->AttachWindow(*window_);
    frame_->OnCreate();
    frame_->ActivateFrame();
  }
  CMainFrame& Frame() override { return *frame_; }
  platform::FakeWindow& Window() override { return *window_; }
  PreviewWindow& Preview() { return *window_; }
  std::vector<std::string> FilterNames() override {
    std::vector<std::string> names;
    if (frame_->m_pGraph)
      for (const auto& filter : frame_->m_pGraph->Filters()) names.push_back(filter->Name());
    return names;
  }

  platform::FakeSystem system;

 private:
  std::string dir_;
  media::gst::GstMediaFactory factory_{"ostrelvirtualdeviceprovider"};
  std::unique_ptr<PreviewWindow> window_;
  std::unique_ptr<CMainFrame> frame_;
};
