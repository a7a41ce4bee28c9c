// The main frame: the one owner of Ostrel's state, driven by its window's events.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

#include "capture/capture_frame.h"
#include "i18n/lang_text_table.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "still/still_buffer.h"
#include "still/still_file.h"

class SampleGrabberCallback;

// The status pane's initial text; its width sets the pane's initial width.
extern const std::string kStatusPaneInitialText;  // 110 characters
// The application title, which is also the caption of the main window.
extern const char* const kApplicationTitle;

// Still-image size chosen in the Capture menu (settings key "HighResolutionSize"); the
// still pin's streaming thread reads it too.
extern std::atomic<int> g_stillSizeIndex;
// Where the folder browser opens.
extern std::string g_browseStartFolder;

class CMainFrame : public CaptureFrame, public platform::WindowEvents {
 public:
  static constexpr int kTimerId = 1;
  static constexpr int kTimerPeriodMs = 100;
  static constexpr uint32_t kCmdExit = 57665;

  CMainFrame(platform::System& system, media::MediaFactory* media);
  ~CMainFrame() override;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  void AttachWindow(platform::Window& window) { m_window = &window; }
  platform::WindowCreateParams PreCreateWindow() const;

  // Window events.
  int OnCreate() override;
  void ActivateFrame() override;
  void OnShowWindow(bool shown) override;
  void OnInitMenu() override;
  bool OnCommand(uint32_t id) override;
  void OnSize(int width, int height) override;
  void OnPaint(platform::Painter& painter) override;
  void OnTimer(int id) override;
  void OnClose() override;

  void FitWindowToVideo(int width, int height) override;
  void SetUpChosenCamera() override { RestoreCameraSettings(); }

  // The Device and Option popups, filled once by the first activation.
  BOOL BuildDeviceMenu();
  BOOL BuildOptionMenu();

  // The menu snapshot (app/snapshot.cpp): 1 when a file was written, 0 on a failure,
  // media::kFail when the file could not be created.
  int32_t TakeSnapshot();
  // The snapshot folder and counter are shared with the still pin's streaming thread;
  // the user-interface thread changes them only through these.
  void SetSnapshotFolder(const std::string& folder);
  void ResetFileNumbers();  // the clip and the snapshot numbers back to 0

  // The still pin's side of the shared snapshot state (app/snapshot.cpp), each one step
  // under the snapshot lock. TakeSnapshotNumber copies the folder and takes the counter's
  // next free number, moving the counter past it.
  int32_t TakeSnapshotNumber(std::string& folder);
  // Names a written still in the folder: with `claimed` when that number is still free,
  // otherwise (and for a menu snapshot, which passes none) with the counter's next free
  // number, moving the counter past it. The number used (negative numbers are numbers
  // too), or none with the reason in *error.
  std::optional<int32_t> PublishStill(ostrel::still::PendingBmp& file, const std::string& folder,
                                      ostrel::still::StillKind kind, std::optional<int32_t> claimed,
                                      std::string* error);
  // Guards m_snapshotFolder and m_snapshotIndex against the still pin's streaming thread.
  std::mutex& SnapshotLock() { return m_snapshotLock; }

  // Command 32774: starts a recording, or stops it and returns to the preview
  // (app/recording_command.cpp).
  void OnStartStopCapture();
  // True when the capture folder takes files and the capture and clip formats can be
  // recorded; otherwise shows the recording error (app/recording_start_check.cpp).
  BOOL CheckRecordingCanStart();

  // Who shows the About box (the application object); command 57664 is passed to it.
  void SetAboutHandler(std::function<void()> handler) { m_aboutHandler = std::move(handler); }

  // The status pane and the recording clock (app/recording_clock.cpp).
  void ShowStatusText(const std::string& text);
  // The delivered frame rate averaged over the last five calls; -0.1 when the camera's
  // frame counters cannot be read.
  double MeasureFrameRate();
  // A recording has started: its clock counts from now, or from startMs (on the
  // monotonic clock).
  void StartRecordingClock();
  void StartRecordingClock(int64_t startMs);  // from when the graph began to run
  int64_t RecordingElapsedSeconds() const;
  int64_t RecordingElapsedMilliseconds() const;
  // The rate's window starts again, as after a rebuilt graph.
  void RestartFrameRateWindow();

  // Settings.
  void LoadSettings();
  void SaveSettings();
  // Writes the settings when any of them differs from what was loaded or saved last, so
  // that a crash loses no choice and no file number.
  void SaveSettingsIfChanged();
  std::string BrowseForFolder(const std::string& currentFolder);
  std::string SettingsPath() const;

  // Hooks of the capture base.
  platform::Window& Ui() override { return *m_window; }
  platform::System& Sys() override { return m_system; }
  media::MediaFactory& Media() override { return *m_media; }
  bool HasMedia() const { return m_media != nullptr; }

  platform::Menu* MenuBar() { return m_menuBar.get(); }

 private:
  void ChooseLanguageAndMenu();
  // The command's own work; OnCommand saves what it changed.
  bool RunCommand(uint32_t id);
  // The values the settings file holds, as last loaded or saved.
  struct StoredSettings {
    int previewOn, clipIndex, snapshotIndex, timeLimitEnabled, timeLimitSeconds, recordAudio,
        recordFormat, stillSizeIndex;
    std::string captureFolder, snapshotFolder;
    auto Tied() const {
      return std::tie(previewOn, clipIndex, snapshotIndex, timeLimitEnabled, timeLimitSeconds,
                      recordAudio, recordFormat, stillSizeIndex, captureFolder, snapshotFolder);
    }
    bool operator==(const StoredSettings& other) const { return Tied() == other.Tied(); }
  };
  StoredSettings CurrentSettings();
  std::optional<StoredSettings> m_storedSettings;
  // Ends a graph that failed (a camera unplugged, a disk full) or a recording whose disk
  // is nearly full, with one message; true when it did (app/graph_failure.cpp).
  bool EndFailedGraph();
  bool m_endingFailedGraph = false;  // while its message is up
  // Devices that come and go while Ostrel runs (app/device_hotplug.cpp): the Device
  // popup rebuilt, a camera or microphone that went away let go of (its recording
  // finished first), one that came back chosen again. True when devices changed.
  void WatchDevices();
  bool FollowDeviceChanges();
  void FillDeviceMenu();
  std::shared_ptr<media::DeviceEnumerator> m_pDeviceWatch;
  std::string m_lostVideoDevice;  // the identity of the camera in use that went away, until back
  std::string m_lostAudioDevice;
  bool m_followingDevices = false;
  // The selected camera's capture format, frame rate and picture settings, kept for it
  // by its identity in a section of the settings file of its own, and set again when it
  // is used (app/camera_settings.cpp). A value it no longer takes is left out, logged.
  void RememberCameraSettings();
  void RestoreCameraSettings();
  void RestoreCaptureFormat(const std::string& text);
  std::shared_ptr<media::StreamConfig> SelectedCameraFormat();
  // Builds and runs the preview graph; a failure shows the localized message and
  // gives false (app/commands.cpp).
  bool StartPreview();
  // Runs the built graph as the preview; a failure fires the still pin, shows the
  // localized message and gives false.
  bool RunPreview();
  // The fixed messages, with the reason underneath when one is known (also on stderr).
  void ShowCannotPreview(const std::string& reason = {});
  void ShowRecordError(const std::string& reason = {});
  // Tells how many frames the stopped recording had to leave out, when it had to.
  void ShowFramesLeftOut();
  // What the graph reported since it was last asked, each report logged; the reason for
  // the user names the first fault: a camera gone, a clip that could not be written.
  std::string GraphFailureReason(bool* writerFailed = nullptr, bool* cameraFailed = nullptr,
                                 bool* failed = nullptr);
  // A folder of the settings that was gone at the load: told once, after the start.
  std::string m_folderNotice;
  media::Filter* SelectedVideoFilter() const;
  // Stops a running graph before its filters change.
  void StopForChange();
  // The highest command id the Device popup gives an item.
  uint32_t LastDeviceCommand() const;
  // The commands with more than one step; false when the command ended early.
  bool OnChooseDevice(uint32_t id);
  bool OnChangeCaptureFormat();
  bool OnTogglePreview();
  bool OnSetFrameRate();
  void OnVideoSizeSetting();
  // The two paths of command 32774 (app/recording_command.cpp).
  bool StartRecording();
  bool StopRecording();
  void RelabelStartStop(TextId textId);
  // The timer's end of a recording: at its time limit, or when its graph failed.
  void StopRecordingFromTimer();
  std::shared_ptr<media::FrameCounters> FindFrameCounters();

  platform::System& m_system;
  media::MediaFactory* m_media;
  platform::Window* m_window = nullptr;
  bool m_statusBarCreated = false;
  std::unique_ptr<platform::Menu> m_menuBar;
  std::function<void()> m_aboutHandler;
  std::mutex m_snapshotLock;
  std::unique_ptr<SampleGrabberCallback> m_stillCallback;
  // The menu snapshot's frame and output, kept from one snapshot to the next.
  ostrel::still::StillBuffer m_snapshotFrame;
  ostrel::still::StillBuffer m_snapshotOutput;
};
