// The frame's capture-graph members: devices, graph creation, preview and recording
// builds, stream format. CMainFrame derives from it and provides the hooks.
#pragma once

#include "capture/frame_state.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace media {
class MediaFactory;
}

class CaptureFrame : public FrameState {
 public:
  virtual ~CaptureFrame() = default;

  // The frame's window (message boxes, menus), system services and media layer.
  virtual platform::Window& Ui() = 0;
  virtual platform::System& Sys() = 0;
  virtual media::MediaFactory& Media() = 0;
  // Resizes the frame so that its client area above the status bar is w x h.
  virtual void FitWindowToVideo(int width, int height) = 0;

  // Devices and graph creation (capture/devices.cpp).
  BOOL EnumerateVideoDevices();
  BOOL EnumerateAudioDevices();
  BOOL CreateGraph();
  BOOL ReleaseDevices();
  BOOL ReleaseGraph();

  // Stream format and frame rate of the selected camera's capture pin
  // (capture/stream_format.cpp).
  BOOL ReadCaptureFormat(int& width, int& height, int& subtype);
  BOOL SetFrameRate(int fps, int& actual);

 private:
  // Outcome of the capture pin's stream-configuration lookup.
  enum class StreamConfigLookup { Video, Interleaved, NotFound };
  StreamConfigLookup FindCaptureStreamConfig(std::shared_ptr<media::StreamConfig>& config);
  int EnumerateDevices(media::DeviceEnumerator& enumerator, media::DeviceCategory category,
                       std::array<std::string, kMaxDevices>& names,
                       std::array<std::shared_ptr<media::Filter>, kMaxDevices>& filters, int& count,
                       const char* tooManyText, bool applyPictureDefaults);
};
