// A capture frame over the real GStreamer layer with the virtual devices, recording
// its messages in a fake window.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "capture/capture_frame.h"
#include "platform/fakes/fake_system.h"
#include "platform/fakes/fake_window.h"
#include "platform/gst/gst_media_factory.h"
#include "virtual_devices.h"

class TestCaptureFrame : public CaptureFrame {
 public:
  // Lists the virtual provider's devices only, or with "" every provider's.
  explicit TestCaptureFrame(std::string provider = "ostrelvirtualdeviceprovider")
      : factory_(std::move(provider)) {}
  platform::Window& Ui() override { return window; }
  platform::System& Sys() override { return system; }
  media::MediaFactory& Media() override { return factory_; }
  void FitWindowToVideo(int width, int height) override { fits.emplace_back(width, height); }
  media::gst::GstMediaFactory& Factory() { return factory_; }

  platform::FakeWindow window;
  platform::FakeSystem system;
  std::vector<std::pair<int, int>> fits;

 private:
  media::gst::GstMediaFactory factory_;
};

// Cameras with the given specs and one microphone unless told otherwise.
void UseDevices(std::vector<virtualcam::CameraSpec> cameras, int microphones = 1);
virtualcam::CameraSpec Camera(const std::string& name);
// How many messages had this text.
int CountMessages(const platform::FakeWindow& window, const std::string& text);
