// Helpers of the capture integration tests.
#include "capture_test_support.h"

void UseDevices(std::vector<virtualcam::CameraSpec> cameras, int microphones) {
  std::vector<virtualcam::MicrophoneSpec> mics(static_cast<size_t>(microphones));
  virtualcam::Configure(std::move(cameras), std::move(mics));
}

virtualcam::CameraSpec Camera(const std::string& name) {
  virtualcam::CameraSpec spec;
  spec.name = name;
  return spec;
}

int CountMessages(const platform::FakeWindow& window, const std::string& text) {
  int n = 0;
  for (const auto& m : window.messages)
    if (m.text == text) ++n;
  return n;
}
