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

  // Members of the capture subsystem are declared below as they land.
};
