// CMainFrame: cameras and microphones plugged in and out while Ostrel runs. The device
// monitor's thread only raises a flag; the timer's tick on the user-interface thread
// reads the lists again and acts on what changed.
#include <cstdio>

#include "app/failure_reasons.h"
#include "app/main_frame.h"
#include "capture/graph_utils.h"

namespace {
constexpr uint32_t kFirstDeviceCommand = 16;
constexpr int kDevicePopup = 1;
constexpr const char* kVideoDeviceName = "Video Capture device";
constexpr const char* kAudioDeviceName = "Audio Capture device";

int IndexOf(const std::array<std::string, CMainFrame::kMaxDevices>& ids, int count,
            const std::string& id) {
  for (int i = 0; i < count; ++i)
    if (!id.empty() && ids[i] == id) return i;
  return -1;
}
}  // namespace

void CMainFrame::WatchDevices() {
  m_pDeviceWatch = Media().CreateDeviceEnumerator();
  if (m_pDeviceWatch && !m_pDeviceWatch->WatchChanges()) m_pDeviceWatch.reset();
}

void CMainFrame::FillDeviceMenu() {
  platform::Menu* bar = Ui().GetMenu();
  platform::Menu* devices = bar && bar->ItemCount() > 1 ? bar->SubMenu(kDevicePopup) : nullptr;
  if (!devices) return;
  for (int n = devices->ItemCount(); n > 0; --n) devices->RemoveByPosition(0);
  for (int i = 0; i < m_videoDeviceCount; ++i) {
    const uint32_t id = kFirstDeviceCommand + static_cast<uint32_t>(i);
    devices->AppendItem(id, m_videoDeviceNames[i]);
    devices->CheckByCommand(id, i == m_selectedVideoDevice);
  }
  devices->AppendSeparator();
  for (int j = 0; j < m_audioDeviceCount; ++j) {
    const uint32_t id = static_cast<uint32_t>(m_videoDeviceCount + 17 + j);
    devices->AppendItem(id, m_audioDeviceNames[j]);
    devices->CheckByCommand(id, j == m_selectedAudioDevice);
    devices->EnableByCommand(id, !m_recording);
  }
  for (int i = 0; i < m_videoDeviceCount; ++i)
    devices->EnableByCommand(kFirstDeviceCommand + static_cast<uint32_t>(i), !m_recording);
}

bool CMainFrame::FollowDeviceChanges() {
  // A message box's own event loop runs the timer too: one change at a time.
  if (m_followingDevices || !m_pDeviceWatch || !m_pGraph) return false;
  if (!m_pDeviceWatch->DevicesChanged()) return false;
  m_followingDevices = true;
  const std::string videoBefore =
      m_selectedVideoDevice >= 0 ? m_videoDeviceNames[m_selectedVideoDevice] : std::string();
  const std::string videoIdBefore =
      m_selectedVideoDevice >= 0 ? m_videoDeviceIds[m_selectedVideoDevice] : std::string();
  const std::string audioBefore =
      m_selectedAudioDevice >= 0 ? m_audioDeviceNames[m_selectedAudioDevice] : std::string();
  const std::string audioIdBefore =
      m_selectedAudioDevice >= 0 ? m_audioDeviceIds[m_selectedAudioDevice] : std::string();
  const bool camerasBefore = m_videoDeviceCount > 0;
  const bool soundRecorded = m_recording && m_recordAudio && m_selectedAudioDevice >= 0;
  std::vector<std::shared_ptr<media::Filter>> gone = RefreshDeviceLists();
  const bool videoLost = !videoIdBefore.empty() && m_selectedVideoDevice < 0;
  const bool audioLost = !audioIdBefore.empty() && m_selectedAudioDevice < 0;

  // A recording from a device that went away ends with what it has: one message.
  if (m_recording && (videoLost || (audioLost && soundRecorded))) {
    const BOOL previewWanted = m_previewOn;
    if (videoLost) m_previewOn = 0;
    StopRecordingFromTimer();
    m_previewOn = previewWanted;
    DrainGraphEvents();  // the device's own error is this same news
    ShowRecordError(videoLost ? failure_reason::CameraUnplugged(m_languageIndex)
                              : failure_reason::MicrophoneUnplugged(m_languageIndex));
  } else if (videoLost && m_graphRunning) {
    StopGraph(m_pGraph.get(), Sys());
    m_graphRunning = 0;
    DrainGraphEvents();
    ShowCannotPreview(failure_reason::CameraUnplugged(m_languageIndex));
  }
  if (videoLost) {
    TearDownGraph();
    m_lostVideoDevice = videoIdBefore;
  }
  if (audioLost) m_lostAudioDevice = audioIdBefore;
  if (videoLost) std::fprintf(stderr, "ostrel: the camera %s was unplugged\n", videoBefore.c_str());
  if (audioLost)
    std::fprintf(stderr, "ostrel: the microphone %s was unplugged\n", audioBefore.c_str());
  // The teardown above went by the selection, which no longer names the device that went
  // away: what was built behind it leaves the graph with it, or a later preview would share
  // the graph with a stale renderer that never prerolls.
  for (const auto& filter : gone) {
    RemoveDownstream(m_pGraph.get(), filter.get());
    m_pGraph->RemoveFilter(*filter);
  }

  // A camera that is back, or the first one plugged in where none was, is used at once.
  if (m_selectedVideoDevice < 0 && m_videoDeviceCount > 0) {
    int pick = IndexOf(m_videoDeviceIds, m_videoDeviceCount, m_lostVideoDevice);
    if (pick < 0 && !camerasBefore) pick = 0;
    if (pick >= 0) {
      m_pGraph->AddFilter(m_videoDevices[pick], kVideoDeviceName);
      m_selectedVideoDevice = pick;
      std::fprintf(stderr, "ostrel: the camera %s is used\n", m_videoDeviceNames[pick].c_str());
      m_lostVideoDevice.clear();
      RestoreCameraSettings();
      ReadCaptureFormat(m_videoWidth, m_videoHeight, m_videoSubtype);
      // The window takes the first camera's size, as at the start.
      if (!camerasBefore) FitWindowToVideo(m_videoWidth, m_videoHeight);
      if (m_previewOn && !m_recording && !m_graphRunning) {
        TearDownGraph();
        StartPreview();
      }
    }
  }
  if (m_selectedAudioDevice < 0 && m_audioDeviceCount > 0) {
    int pick = IndexOf(m_audioDeviceIds, m_audioDeviceCount, m_lostAudioDevice);
    if (pick < 0) pick = 0;
    m_pGraph->AddFilter(m_audioDevices[pick], kAudioDeviceName);
    m_selectedAudioDevice = pick;
    if (m_audioDeviceIds[pick] == m_lostAudioDevice) m_lostAudioDevice.clear();
  }
  FillDeviceMenu();
  m_followingDevices = false;
  return true;
}
