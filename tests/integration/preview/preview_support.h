// The preview on the real GStreamer layer with the virtual camera: a fake window whose
// video surface records what the renderer hands it, a capture frame over both, and
// helpers that look into the running pipeline.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "capture/capture_frame.h"
#include "platform/fakes/fake_system.h"
#include "platform/fakes/fake_window.h"
#include "platform/gst/gst_media_factory.h"
#include "virtual_devices.h"

// Counts the frames the still pin hands on and keeps the size of the last one.
struct StillFrames : media::SampleGrabberCallback {
  std::atomic<int> frames{0};
  std::atomic<long> length{0};
  media::Status BufferCB(double, const uint8_t* data, long bytes) override {
    if (data) length = bytes;
    ++frames;
    return media::kOk;
  }
};

// Counts frames and keeps the last size; Place and Show are recorded for the UI thread.
class FakeVideoSurface : public media::VideoSurface {
 public:
  void Present(const media::VideoFrame& frame) override {
    std::lock_guard<std::mutex> lock(mutex);
    ++frames;
    width = frame.width;
    height = frame.height;
  }
  void Place(int left, int top, int w, int h) override { placed = {left, top, left + w, top + h}; }
  void Show(bool on) override { visible = on; }

  int Frames() {
    std::lock_guard<std::mutex> lock(mutex);
    return frames;
  }
  std::pair<int, int> Size() {
    std::lock_guard<std::mutex> lock(mutex);
    return {width, height};
  }

  std::mutex mutex;
  int frames = 0;
  int width = 0;
  int height = 0;
  platform::Rect placed;
  bool visible = false;
};

class PreviewWindow : public platform::FakeWindow {
 public:
  media::VideoSurface* GetVideoSurface() override { return &surface; }
  FakeVideoSurface surface;
};

class PreviewCaptureFrame : public CaptureFrame {
 public:
  PreviewCaptureFrame() : factory_("ostrelvirtualdeviceprovider") { m_statusBarHeight = 18; }
  platform::Window& Ui() override { return window; }
  platform::System& Sys() override { return system; }
  media::MediaFactory& Media() override { return factory_; }
  void FitWindowToVideo(int, int) override {}

  // Lists the devices, selects the first camera and makes the graph.
  void Open();

  PreviewWindow window;
  platform::FakeSystem system;

 private:
  media::gst::GstMediaFactory factory_;
};

virtualcam::CameraSpec CameraWith(std::vector<virtualcam::Format> formats);
// One camera of this spec, no microphone.
void UseCamera(const virtualcam::CameraSpec& spec);

// Polls until the condition holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(5));

// The name of the filter that the pin's peer belongs to; empty when unconnected.
std::string PeerFilterName(media::Pin& pin);
std::string PeerOf(media::Filter& filter, media::PinDirection direction, int index);

// Counts the still triggers of every virtual camera while it exists (an emission hook on
// the cameras' "trigger-still" action signal).
class TriggerCounter {
 public:
  TriggerCounter();
  ~TriggerCounter();
  int Count() const { return count_.load(); }
  bool Hooked() const { return hook_ != 0; }

 private:
  static gboolean OnTrigger(GSignalInvocationHint*, guint, const GValue*, gpointer self);
  guint signal_ = 0;
  gulong hook_ = 0;
  std::atomic<int> count_{0};
};
