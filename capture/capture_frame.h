// The frame's capture-graph members: devices, graph creation, preview and recording
// builds, stream format. CMainFrame derives from it and provides the hooks.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "capture/background_repair.h"
#include "capture/clip_series.h"
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
  // The video area the first attachment of the video window gives the frame (what a
  // 648 x 534 frame with its caption, menu bar and borders leaves for the picture).
  static constexpr int kFirstVideoAreaWidth = 640;
  static constexpr int kFirstVideoAreaHeight = 480;

  virtual ~CaptureFrame() = default;

  // The frame's window (message boxes, menus), system services and media layer.
  virtual platform::Window& Ui() = 0;
  virtual platform::System& Sys() = 0;
  virtual media::MediaFactory& Media() = 0;
  // Resizes the frame so that its client area above the status bar is w x h.
  virtual void FitWindowToVideo(int width, int height) = 0;
  // The selected camera has just been added to the graph, its format not yet read: the
  // application sets it up as the user last left it.
  virtual void SetUpChosenCamera() {}
  // Resizes the frame, keeping its top-left corner, so that the client area above the
  // status bar is width x height whatever the window system's frame and menu bar take;
  // measured again once when the menu bar wrapped at the new width.
  virtual void MoveFrameForVideoArea(int width, int height) {
    const int b = Ui().Metric(platform::SystemMetric::CyBorder);
    for (int pass = 0; pass < 2; ++pass) {
      const platform::Rect win = Ui().WindowRect();
      const platform::Rect cli = Ui().ClientRect();
      const int wantedClientHeight = height + m_statusBarHeight + b;
      if (pass == 1 && cli.right == width && cli.bottom == wantedClientHeight) break;
      Ui().SetWindowSize(width + win.Width() - cli.right,
                         wantedClientHeight + win.Height() - cli.bottom);
    }
    Ui().UpdateWindow();
  }

  // Devices and graph creation (capture/devices.cpp).
  BOOL EnumerateVideoDevices();
  BOOL EnumerateAudioDevices();
  // Lists the devices again after some came or went (capture/device_refresh.cpp). A
  // device listed before keeps its filter, found by its name, so the one in the graph
  // stays; the selections follow their devices and are -1 where the device went away.
  // Gives the filters of the devices that went away; they may still be in the graph.
  std::vector<std::shared_ptr<media::Filter>> RefreshDeviceLists();
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
  // Takes what the running graph reported; errors are written to the error stream, and
  // a file the stop left unfinished keeps its clip's marker. True when one of them was
  // an error (the graph, or part of it, stopped).
  bool DrainGraphEvents();
  // Frames the recordings stopped since the last call had to leave out because their
  // writer could not keep up, as the stops reported them.
  int64_t TakeFramesLeftOut() { return std::exchange(m_framesLeftOut, 0); }

  // The recording builds (capture/recording_graphs.cpp).
  BOOL BuildAviGraph();
  BOOL BuildWmvGraph();
  // Every capture format the cameras deliver records: YUV and RGB as they come, MJPG
  // as JPEG frames in an AVI; each of them is encoded into WMV.
  static bool CanRecordFormat(int subtype);
  // The clip file of a number in the capture folder ("AVI" or "WMV").
  std::string ClipPath(int index, const char* extension) const;

  // The recording's clips, from the one the build names to the ones a long recording
  // goes on in, are marked as unfinished until the stop that finishes them (the
  // teardown after the stop); at the start, the clips of the capture folder that a
  // recording left unfinished are repaired (capture/clip_marking.cpp).
  void BeginClipSeries(media::Filter* writer, int index, const char* extension);
  void FinishClipSeries();
  // The clip's file could not be finished (its writer failed): the marker stays.
  void KeepClipUnfinished();
  // The clip number moves past each clip the writer has begun since the last look.
  void TakeBegunClips();
  // Starts the repair on its own thread; the wait is for tests, the stop for the close.
  void RepairUnfinishedClips();
  int WaitForRepairs() { return m_repairs.Wait(); }
  void StopRepairs() { m_repairs.Stop(); }

  // Room for the recording in the capture folder: its first seconds before it starts,
  // and while it runs, what finishing its file needs (capture/recording_room.cpp).
  BOOL HasRoomToStartRecording();
  // Why no clip number is free for the recording's format, or empty when one is
  // (capture/recording_graphs.cpp).
  std::string NoFreeClipNumber();
  BOOL RecordingRoomRunningOut(int64_t elapsedSeconds);

 private:
  // Outcome of the capture pin's stream-configuration lookup.
  enum class StreamConfigLookup { Video, Interleaved, NotFound };
  StreamConfigLookup FindCaptureStreamConfig(std::shared_ptr<media::StreamConfig>& config);
  media::Filter* SelectedVideoDevice() const;
  std::optional<int> NextFreeClipIndex(const char* extension);
  // Shows a graph-building failure (caption "Error", error icon) and gives 0.
  BOOL FailBuild(const char* text);
  BOOL BuildStartTee();
  BOOL BuildTeeAndRenderer(const char* connectRendererError);
  // Connects the tee's capture output to a writer's input through the grabber that
  // snapshots read while recording; without that grabber, directly.
  BOOL ConnectCaptureStream(media::Filter* writer, int writerPin);
  void BuildStillBranch(media::Filter& device);
  void RefreshDevices(media::DeviceEnumerator& enumerator, media::DeviceCategory category,
                      std::array<std::string, kMaxDevices>& names,
                      std::array<std::string, kMaxDevices>& ids,
                      std::array<std::shared_ptr<media::Filter>, kMaxDevices>& filters, int& count,
                      int& selected, const char* tooManyText, bool pictureDefaults,
                      std::vector<std::shared_ptr<media::Filter>>& gone);
  int EnumerateDevices(media::DeviceEnumerator& enumerator, media::DeviceCategory category,
                       std::array<std::string, kMaxDevices>& names,
                       std::array<std::string, kMaxDevices>& ids,
                       std::array<std::shared_ptr<media::Filter>, kMaxDevices>& filters, int& count,
                       const char* tooManyText, bool applyPictureDefaults);

  std::shared_ptr<clip_series::Series> m_clipSeries;  // the recording's clips; null when none
  int m_clipsTaken = 0;  // the series' clips the clip number has moved past
  int64_t m_framesLeftOut = 0;
  BackgroundRepair m_repairs;
};
