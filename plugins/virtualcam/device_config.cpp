// The process-wide device list of the virtual provider and the running cameras.
#include "device_config.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>

namespace virtualcam {
namespace {

struct LiveCamera {
  void* source;
  int index;
  StillTrigger trigger;
};

struct State {
  std::mutex mutex;
  std::vector<CameraSpec> cameras{CameraSpec{}};
  std::vector<MicrophoneSpec> microphones{MicrophoneSpec{}};
  std::vector<LiveCamera> live;
};

State& state() {
  static State* s = new State;  // never destroyed: streaming threads may outlive main()
  return *s;
}

}  // namespace

std::vector<Format> DefaultFormats() {
  return {{"YUY2", 640, 480, 30},  {"YUY2", 1280, 720, 10}, {"UYVY", 640, 480, 30},
          {"I420", 640, 480, 30},  {"RGB24", 640, 480, 30}, {"RGB32", 640, 480, 30},
          {"MJPG", 1280, 720, 30}, {"MJPG", 1920, 1080, 30}};
}

void ValidateFormat(const Format& f) {
  static const char* const kKnown[] = {"YUY2", "UYVY", "I420", "RGB24", "RGB32", "MJPG"};
  if (std::none_of(std::begin(kKnown), std::end(kKnown),
                   [&](const char* k) { return f.fourcc == k; })) {
    throw std::invalid_argument("virtual camera: unknown format \"" + f.fourcc + "\"");
  }
  // Even sizes keep the 4:2:x formats exact; 8192 keeps every frame size in an int.
  if (f.width <= 0 || f.height <= 0 || f.width % 2 != 0 || f.height % 2 != 0 || f.width > 8192 ||
      f.height > 8192) {
    throw std::invalid_argument("virtual camera: bad frame size " + std::to_string(f.width) + "x" +
                                std::to_string(f.height) + " for " + f.fourcc);
  }
  if (f.fps < 1 || f.fps > 60) {
    throw std::invalid_argument("virtual camera: frame rate " + std::to_string(f.fps) +
                                " is outside 1..60");
  }
}

std::vector<CameraSpec> ConfiguredCameras() {
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().cameras;
}

std::vector<MicrophoneSpec> ConfiguredMicrophones() {
  std::lock_guard<std::mutex> lock(state().mutex);
  return state().microphones;
}

void StoreConfiguration(std::vector<CameraSpec> cameras, std::vector<MicrophoneSpec> microphones) {
  for (auto& c : cameras) {
    if (c.formats.empty()) c.formats = DefaultFormats();
    for (const auto& f : c.formats) ValidateFormat(f);
  }
  std::lock_guard<std::mutex> lock(state().mutex);
  state().cameras = std::move(cameras);
  state().microphones = std::move(microphones);
}

CameraSpec CameraAt(int index) {
  std::lock_guard<std::mutex> lock(state().mutex);
  if (index >= 0 && index < static_cast<int>(state().cameras.size())) {
    return state().cameras[index];
  }
  return CameraSpec{};
}

MicrophoneSpec MicrophoneAt(int index) {
  std::lock_guard<std::mutex> lock(state().mutex);
  if (index >= 0 && index < static_cast<int>(state().microphones.size())) {
    return state().microphones[index];
  }
  return MicrophoneSpec{};
}

void AddLiveCamera(void* source, int index, StillTrigger trigger) {
  std::lock_guard<std::mutex> lock(state().mutex);
  state().live.push_back({source, index, trigger});
}

void RemoveLiveCamera(void* source) {
  std::lock_guard<std::mutex> lock(state().mutex);
  auto& live = state().live;
  live.erase(std::remove_if(live.begin(), live.end(),
                            [&](const LiveCamera& c) { return c.source == source; }),
             live.end());
}

void ChangeLiveCameraIndex(void* source, int index) {
  std::lock_guard<std::mutex> lock(state().mutex);
  for (auto& c : state().live) {
    if (c.source == source) c.index = index;
  }
}

void TriggerLiveCameras(int index) {
  // The trigger only bumps a counter, so holding the lock keeps the source alive meanwhile.
  std::lock_guard<std::mutex> lock(state().mutex);
  for (const auto& c : state().live) {
    if (c.index == index) c.trigger(c.source);
  }
}

}  // namespace virtualcam
