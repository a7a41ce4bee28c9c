// CMainFrame: the menu bar's item states at every opening, and the command handler.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/failure_reasons.h"
#include "app/main_frame.h"
#include "capture/graph_utils.h"
#include "i18n/lang_text_table.h"
#include "i18n/settings_dialogs.h"
#include "res/menu_ids.h"

using namespace menu_id;

namespace {

constexpr const char* kVideoDeviceName = "Video Capture device";
constexpr const char* kAudioDeviceName = "Audio Capture device";
constexpr const char* kNoVideoDeviceText = "You have no video capture device";
// Less than this free on the clip's disk when its writer failed: the disk is full.
constexpr int64_t kNoRoomBytes = 16 << 20;

// Still-size items in the order of their indices 0..10; index 6 has no item.
bool StillSizeIndexOfCommand(uint32_t id, int& index) {
  for (int i = 0; i < 11; ++i) {
    if (kStillSize[i] != 0 && kStillSize[i] == id) {
      index = i;
      return true;
    }
  }
  return false;
}

}  // namespace

uint32_t CMainFrame::LastDeviceCommand() const {
  // The popup holds the cameras, a separator and the microphones: with v cameras and a
  // microphones the last item is 16 + v + a (16 + v is the separator's place).
  return kFirstDevice + static_cast<uint32_t>(m_videoDeviceCount + m_audioDeviceCount);
}

void CMainFrame::OnInitMenu() {
  platform::Menu* menu = Ui().GetMenu();
  if (!menu) return;
  const bool recording = m_recording != 0;

  for (uint32_t id = kFirstDevice; id <= LastDeviceCommand(); ++id)
    menu->EnableByCommand(id, !recording);

  menu->CheckByCommand(kRecordAudio, m_recordAudio != 0);
  menu->CheckByCommand(kPreview, m_previewOn != 0);

  menu->CheckByCommand(kFormatAvi, m_recordFormat == 0);
  menu->CheckByCommand(kFormatWmv, m_recordFormat != 0);

  for (uint32_t id : kStillSize)
    if (id != 0) menu->CheckByCommand(id, false);
  if (g_stillSizeIndex >= 0 && g_stillSizeIndex <= 10 && kStillSize[g_stillSizeIndex] != 0)
    menu->CheckByCommand(kStillSize[g_stillSizeIndex], true);

  for (uint32_t id : {kPreview, kVideoFilterProperties, kVideoPinProperties, kAudioFilterProperties,
                      kRecordAudio, kSetCaptureFolder})
    menu->EnableByCommand(id, !recording);

  menu->EnableByCommand(kStartStopCapture, m_selectedVideoDevice >= 0);
  menu->EnableByCommand(kSnapshot, m_graphRunning != 0);

  const bool frameSettings = m_selectedVideoDevice >= 0 && !recording;
  menu->EnableByCommand(kSetFrameRate, frameSettings);
  menu->EnableByCommand(kRecordTimeLimit, frameSettings);
}

bool CMainFrame::StartPreview() {
  // A recording start whose build failed leaves the recording mode set with nothing
  // running; a preview asked for now must not turn into an unannounced recording.
  if (m_captureMode && !m_recording) m_captureMode = 0;
  if (!BuildGraph()) {
    ShowCannotPreview();
    return false;
  }
  return RunPreview();
}

bool CMainFrame::RunPreview() {
  if (!RunGraph(m_pGraph.get(), Sys())) {
    // A camera that would not start may still answer its still pin.
    TriggerStillPin(m_pBuilder.get(), SelectedVideoFilter());
    ShowCannotPreview(GraphFailureReason());
    return false;
  }
  m_graphRunning = 1;
  return true;
}

void CMainFrame::ShowCannotPreview(const std::string& reason) {
  if (!reason.empty()) std::fprintf(stderr, "ostrel: cannot preview: %s\n", reason.c_str());
  Ui().ShowDetailedMessage(LangText(TXT_CANNOT_PREVIEW, m_languageIndex), reason, "",
                           platform::MessageIcon::Error);
}

void CMainFrame::ShowRecordError(const std::string& reason) {
  if (!reason.empty()) std::fprintf(stderr, "ostrel: cannot record: %s\n", reason.c_str());
  Ui().ShowDetailedMessage(LangText(TXT_RECORD_ERROR, m_languageIndex), reason, "",
                           platform::MessageIcon::Error);
}

std::string CMainFrame::GraphFailureReason(bool* writerFailed, bool* cameraFailed, bool* failed) {
  std::string reason;
  bool first = true;
  media::GraphEvent event;
  while (m_pGraph && m_pGraph->NextEvent(event)) {
    if (event.kind == media::GraphEvent::Kind::Complete) continue;
    std::fprintf(stderr, "ostrel: %s: %s\n", event.source.c_str(), event.text.c_str());
    if (failed) *failed = true;
    if (!first) continue;  // the others are the streams the first fault broke upstream
    first = false;
    // "FileWriter" and "WMV FileWriter": the clip's own file could not be written.
    const bool writer = event.source.find("FileWriter") != std::string::npos;
    const bool camera = event.source.find("Video Capture device") != std::string::npos;
    if (writerFailed) *writerFailed = writer;
    if (cameraFailed) *cameraFailed = camera;
    if (camera) {
      reason = failure_reason::CameraUnplugged(m_languageIndex);
    } else if (writer) {
      const int64_t free = Sys().FreeBytes(m_captureFolder);
      reason = free >= 0 && free < kNoRoomBytes
                   ? failure_reason::NoRoomLeft(m_languageIndex, m_captureFolder)
                   : failure_reason::ClipNotWritten(m_languageIndex, event.text);
    } else {
      reason = event.text;
    }
  }
  return reason;
}

void CMainFrame::ShowFramesLeftOut() {
  const int64_t frames = TakeFramesLeftOut();
  if (frames <= 0) return;
  Ui().ShowMessage(failure_reason::FramesLeftOut(m_languageIndex, frames), "",
                   platform::MessageIcon::Warning);
}

media::Filter* CMainFrame::SelectedVideoFilter() const {
  if (m_selectedVideoDevice < 0 || m_selectedVideoDevice >= kMaxDevices) return nullptr;
  return m_videoDevices[m_selectedVideoDevice].get();
}

void CMainFrame::StopForChange() {
  if ((m_recording || m_graphRunning) && m_pGraph) StopGraph(m_pGraph.get(), Sys());
  m_graphRunning = 0;
}

bool CMainFrame::OnChooseDevice(uint32_t id) {
  platform::Menu* menu = Ui().GetMenu();
  const int k = static_cast<int>(id - kFirstDevice);
  const auto check = [&] {
    if (menu) menu->CheckByCommand(id, true);
  };
  if (k < m_videoDeviceCount) {
    if (menu)
      for (int i = 0; i < m_videoDeviceCount; ++i)
        menu->CheckByCommand(kFirstDevice + static_cast<uint32_t>(i), false);
    if (k != m_selectedVideoDevice && m_pGraph) {
      StopForChange();
      TearDownGraph();
      if (media::Filter* old = SelectedVideoFilter()) m_pGraph->RemoveFilter(*old);
      m_pGraph->AddFilter(m_videoDevices[k], kVideoDeviceName);
      m_selectedVideoDevice = k;
      RestoreCameraSettings();
      ReadCaptureFormat(m_videoWidth, m_videoHeight, m_videoSubtype);
      // The new camera is the chosen one even when its preview will not start.
      check();
      if (m_previewOn && !StartPreview()) return false;
    }
    check();
    return true;
  }
  if (k == m_videoDeviceCount) {
    check();
    return true;
  }
  const int j = k - m_videoDeviceCount - 1;
  if (j >= m_audioDeviceCount) return true;  // no such item in the popup
  if (menu)
    for (int i = 0; i < m_audioDeviceCount; ++i)
      menu->CheckByCommand(static_cast<uint32_t>(m_videoDeviceCount + 17 + i), false);
  if (j != m_selectedAudioDevice && m_pGraph) {
    if (m_selectedAudioDevice >= 0 && m_audioDevices[m_selectedAudioDevice])
      m_pGraph->RemoveFilter(*m_audioDevices[m_selectedAudioDevice]);
    m_pGraph->AddFilter(m_audioDevices[j], kAudioDeviceName);
    m_selectedAudioDevice = j;
  }
  check();
  return true;
}

bool CMainFrame::OnChangeCaptureFormat() {
  if (!SelectedVideoFilter()) return false;
  StopForChange();
  TearDownGraph();
  if (media::PropertySheetHost* host = Ui().GetPropertySheetHost())
    ShowCapturePinPropertyPages(m_pBuilder.get(), SelectedVideoFilter(), *host);
  // Whatever the sheet ended with, the format it left is read, kept for the camera and
  // the graph rebuilt.
  ReadCaptureFormat(m_videoWidth, m_videoHeight, m_videoSubtype);
  RememberCameraSettings();
  FitWindowToVideo(m_videoWidth, m_videoHeight);
  if (m_captureMode && !m_recording) m_captureMode = 0;
  if (!BuildGraph()) {
    ShowCannotPreview();
    return false;
  }
  // With the preview off the graph stays built and stopped.
  return !m_previewOn || RunPreview();
}

bool CMainFrame::OnTogglePreview() {
  bool ok = true;
  if (m_graphRunning) {
    if (m_pGraph) StopGraph(m_pGraph.get(), Sys());  // the graph stays built
    m_graphRunning = 0;
    m_previewOn = 0;
    // A last frame left standing would look like a hung camera.
    Ui().ClearVideoArea();
  } else {
    ok = StartPreview();
    if (ok) m_previewOn = 1;
  }
  if (platform::Menu* menu = Ui().GetMenu()) menu->CheckByCommand(kPreview, m_graphRunning != 0);
  // The client area is painted while no graph runs.
  Ui().Invalidate();
  return ok;
}

bool CMainFrame::OnSetFrameRate() {
  const BOOL wasEnabled = m_frameRateEnabled;
  const int wasRate = m_frameRate;
  if (m_selectedVideoDevice < 0) {
    Ui().ShowMessage(kNoVideoDeviceText, "", platform::MessageIcon::None);
    return false;
  }
  CSetFrameRateDlg dialog(Ui(), m_frameRateEnabled, m_frameRate, m_languageIndex);
  const int answer = dialog.DoModal();
  if (answer == kIdOk && (m_frameRateEnabled != wasEnabled || m_frameRate != wasRate)) {
    if (!m_frameRateEnabled) m_frameRate = 60;
    StopForChange();
    if (m_graphBuilt) {
      SetFrameRate(m_frameRate, m_frameRate);
    }
    RememberCameraSettings();
    if (m_graphBuilt && m_previewOn && !RunPreview()) return false;
    Ui().Invalidate();
  }
  return true;
}

void CMainFrame::OnVideoSizeSetting() {
  if (!m_pTransferFilter) return;
  if (media::PropertySheetHost* host = Ui().GetPropertySheetHost())
    ShowFilterPropertyPages(m_pTransferFilter.get(), *host);
  int32_t w = 0;
  int32_t h = 0;
  if (!GetOutputPinVideoSize(m_pTransferFilter.get(), w, h)) return;
  MoveFrameForVideoArea(w, std::abs(h));
}

bool CMainFrame::OnCommand(uint32_t id) {
  const bool passedOn = RunCommand(id);
  // A choice, a folder or a number the command changed is on disk before the next one.
  if (m_initDone) SaveSettingsIfChanged();
  return passedOn;
}

bool CMainFrame::RunCommand(uint32_t id) {
  if (id >= kFirstDevice && id <= LastDeviceCommand()) {
    if (!HasMedia()) return true;
    return OnChooseDevice(id);
  }
  int stillSize = 0;
  switch (id) {
    case kVideoFilterProperties:
      if (m_selectedVideoDevice >= 0 && SelectedVideoFilter())
        if (media::PropertySheetHost* host = Ui().GetPropertySheetHost()) {
          ShowFilterPropertyPages(SelectedVideoFilter(), *host);
          RememberCameraSettings();
        }
      break;
    case kVideoPinProperties:
      if (!HasMedia() || !OnChangeCaptureFormat()) return false;
      break;
    case kAudioFilterProperties:
      if (m_selectedAudioDevice >= 0 && m_selectedAudioDevice < kMaxDevices &&
          m_audioDevices[m_selectedAudioDevice])
        if (media::PropertySheetHost* host = Ui().GetPropertySheetHost())
          ShowFilterPropertyPages(m_audioDevices[m_selectedAudioDevice].get(), *host);
      break;
    case kSetCaptureFolder: {
      std::string s = BrowseForFolder(m_captureFolder);
      if (!s.empty()) m_captureFolder = s;
      break;
    }
    case kPreview:
      if (!HasMedia() || !OnTogglePreview()) return false;
      break;
    case kStartStopCapture:
      if (HasMedia()) OnStartStopCapture();
      break;
    case kSnapshot:
      TakeSnapshot();
      break;
    case kSetSnapshotFolder: {
      std::string s = BrowseForFolder(m_snapshotFolder);
      if (!s.empty()) SetSnapshotFolder(s);
      break;
    }
    case kRecordAudio:
      m_recordAudio = m_recordAudio ? 0 : 1;
      break;
    case kSetFrameRate:
      if (!OnSetFrameRate()) return false;
      break;
    case kRecordTimeLimit: {
      CUseTimeLimitDlg dialog(Ui(), m_timeLimitEnabled, m_timeLimitSeconds, m_languageIndex);
      dialog.DoModal();
      break;
    }
    case kResetFileNumbers:
      ResetFileNumbers();
      break;
    case kFormatAvi:
      m_recordFormat = 0;
      break;
    case kFormatWmv:
      m_recordFormat = 1;
      break;
    case kVideoSizeSetting:
      OnVideoSizeSetting();
      break;
    case kAppAbout:
      if (m_aboutHandler) m_aboutHandler();
      break;
    case kAppExit:
      Ui().CloseWindow();
      break;
    default:
      if (StillSizeIndexOfCommand(id, stillSize)) g_stillSizeIndex = stillSize;
      break;
  }
  return true;
}
