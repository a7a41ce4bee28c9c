// The frame's capture-graph members: devices, graph creation, preview and recording
// builds, stream format. CMainFrame derives from it and provides the hooks.
#pragma once

#include "capture/frame_state.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace media {
class MediaFactory;
}

// The media type of the still grabber's connection, written by every preview build and
// read by the still callback; empty while no still branch is connected.
extern media::MediaType g_stillMediaType;

class CaptureFrame : public FrameState {
 public:
  // The frame's size at the first attachment of the video window: this width, and this
  // height plus the status bar's.
  static constexpr int kFirstVideoWindowWidth = 648;
  static constexpr int kFirstVideoWindowHeight = 534;

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

  // The graph downstream of the devices for the current mode, the video window, and the
  // teardown back to the device filters (capture/preview_graph.cpp).
  BOOL BuildGraph();
  BOOL BuildPreviewGraph();
  BOOL SetUpVideoWindow();
  BOOL TearDownGraph();
  // Takes what the running graph reported; errors are written to the error stream.
  void DrainGraphEvents();

  // The recording builds (capture/recording_graphs.cpp).
  BOOL BuildAviGraph();
  BOOL BuildWmvGraph();

  // The clip being recorded is marked as unfinished from its build until the stop that
  // finishes it (the teardown after the stop); at the start, the clips of the capture
  // folder that a recording left unfinished are repaired (capture/clip_marking.cpp).
  void MarkClipUnfinished(const std::string& clip);
  void MarkClipFinished();
  void RepairUnfinishedClips();

  // Room for the recording in the capture folder: its first seconds before it starts,
  // and while it runs, what finishing its file needs (capture/recording_room.cpp).
  BOOL HasRoomToStartRecording();
  BOOL RecordingRoomRunningOut(int64_t elapsedSeconds);

 private:
  // Outcome of the capture pin's stream-configuration lookup.
  enum class StreamConfigLookup { Video, Interleaved, NotFound };
  StreamConfigLookup FindCaptureStreamConfig(std::shared_ptr<media::StreamConfig>& config);
  media::Filter* SelectedVideoDevice() const;
  void BuildStillBranch(media::Filter& device);
  int EnumerateDevices(media::DeviceEnumerator& enumerator, media::DeviceCategory category,
                       std::array<std::string, kMaxDevices>& names,
                       std::array<std::shared_ptr<media::Filter>, kMaxDevices>& filters, int& count,
                       const char* tooManyText, bool applyPictureDefaults);

  std::string m_unfinishedClip;  // the clip marked as being written; empty when none
};
