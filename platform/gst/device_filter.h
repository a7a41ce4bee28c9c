// A capture device as a filter: its source element with a capture pin and, for cameras,
// a still pin, the current format, picture controls and frame counters.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/gst/gst_filter.h"

namespace platform {
class CameraButtonWatcher;
}

namespace media::gst {

// Where a V4L2 camera's button is looked up: sysfs and the device folder.
struct SystemRoots {
  std::string sysfs = "/sys";
  std::string dev = "/dev";
};

// The device node a V4L2 source reads; empty for any other source.
std::string V4l2NodeOf(GstElement* source);

class GstDeviceFilter : public GstFilter {
 public:
  // Null when the device cannot make its source element.
  static std::shared_ptr<GstDeviceFilter> Create(GstDevice* device,
                                                 const SystemRoots& roots = SystemRoots());
  ~GstDeviceFilter() override;

  bool IsSource() const override { return true; }
  GstCaps* OutputFormat(GstPin& pin) override;
  std::shared_ptr<VideoControl> GetVideoControl() override;
  std::shared_ptr<VideoProcAmp> GetVideoProcAmp() override;
  std::shared_ptr<PictureSettings> GetPictureSettings() override;
  std::shared_ptr<PropertyPages> GetPropertyPages() override;
  // The device's display name, as the device list shows it.
  std::string DeviceName() const;

  std::shared_ptr<StreamConfig> CaptureStreamConfig();
  std::shared_ptr<FrameCounters> CaptureFrameCounters();
  MajorType Major() const { return major_; }

  // Used by the interfaces above.
  Status GetFormat(MediaType& type) const;
  Status SetFormat(const MediaType& type);
  std::vector<MediaType> Capabilities() const;
  Status TriggerStill(Pin& pin);
  // Watches the camera's own snapshot button on these event devices (replacing any
  // watched before): a press fires the still pin as TriggerStill does. Create() finds
  // them for a V4L2 camera.
  void WatchButton(const std::vector<std::string>& eventDevices);
  // A still frame is asked for and waits for the next capture frame (V4L2 cameras).
  bool StillPending() const { return stillPending_.load(); }
  GObject* PictureObject() const { return picture_; }
  GstElement* Source() const { return source_; }
  int32_t Delivered() const { return delivered_.load(); }
  int32_t Dropped() const { return dropped_.load(); }

 private:
  GstDeviceFilter(GstElement* bin, GstDevice* device, GstElement* source, MajorType major);
  void Build();
  void FireStill();
  void WatchOwnButton(const SystemRoots& roots);
  void OnButtonPressed();
  static GstPadProbeReturn OnCaptureBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);

  GstDevice* device_;
  GstElement* source_;
  GstElement* format_ = nullptr;
  GstElement* stillSrc_ = nullptr;  // the still pin fed from the capture stream
  GstCaps* deviceCaps_ = nullptr;
  GstCaps* current_ = nullptr;
  MajorType major_;
  bool topDown_ = false;
  bool stillSignal_ = false;
  GObject* picture_ = nullptr;  // the element with the picture properties
  std::shared_ptr<GstPin> capture_;
  std::shared_ptr<GstPin> still_;
  std::atomic<bool> stillPending_{false};
  std::atomic<int32_t> delivered_{0};
  std::atomic<int32_t> dropped_{0};
  std::atomic<GstClockTime> lastPts_{GST_CLOCK_TIME_NONE};
  std::atomic<GstClockTime> frameDuration_{GST_CLOCK_TIME_NONE};
  std::unique_ptr<platform::CameraButtonWatcher> button_;
};

}  // namespace media::gst
