// The Device and Option popups the first activation fills from the device lists.
#include "app/main_frame.h"
#include "i18n/lang_text_table.h"

namespace {
constexpr uint32_t kFirstDeviceCommand = 16;
constexpr uint32_t kCmdVideoFilterPages = 40;
constexpr uint32_t kCmdVideoPinPages = 41;
constexpr uint32_t kCmdAudioFilterPages = 42;
constexpr uint32_t kCmdPreview = 32773;
constexpr int kDevicePopup = 1;
constexpr int kOptionPopup = 2;
}  // namespace

BOOL CMainFrame::BuildDeviceMenu() {
  if (m_graphRunning || m_recording) return 0;
  platform::Menu* bar = Ui().GetMenu();
  if (!bar || bar->ItemCount() <= 1) return 1;
  platform::Menu* devices = bar->SubMenu(kDevicePopup);
  if (!devices) return 1;
  for (int n = devices->ItemCount(); n > 0; --n) devices->RemoveByPosition(0);

  EnumerateVideoDevices();
  for (int i = 0; i < m_videoDeviceCount; ++i) {
    uint32_t id = kFirstDeviceCommand + static_cast<uint32_t>(i);
    devices->AppendItem(id, m_videoDeviceNames[i]);
    if (m_selectedVideoDevice == -1) m_selectedVideoDevice = 0;
    devices->CheckByCommand(id, i == m_selectedVideoDevice);
  }
  devices->AppendSeparator();

  const int videoCount = m_videoDeviceCount;
  EnumerateAudioDevices();
  for (int j = 0; j < m_audioDeviceCount; ++j) {
    uint32_t id = static_cast<uint32_t>(videoCount + 17 + j);
    devices->AppendItem(id, m_audioDeviceNames[j]);
    if (m_selectedAudioDevice == -1) m_selectedAudioDevice = 0;
    devices->CheckByCommand(id, j == m_selectedAudioDevice);
    devices->EnableByCommand(id, true);
  }
  return 1;
}

BOOL CMainFrame::BuildOptionMenu() {
  platform::Menu* bar = Ui().GetMenu();
  platform::Menu* options = bar ? bar->SubMenu(kOptionPopup) : nullptr;
  if (options) {
    if (m_selectedVideoDevice != -1) {
      options->AppendItem(kCmdVideoFilterPages, LangText(TXT_MENU_VIDEO_FILTER, m_languageIndex));
      options->AppendItem(kCmdVideoPinPages, LangText(TXT_MENU_VIDEO_PIN, m_languageIndex));
    }
    if (m_selectedAudioDevice != -1)
      options->AppendItem(kCmdAudioFilterPages, LangText(TXT_MENU_AUDIO_FILTER, m_languageIndex));
  }
  if (bar) bar->CheckByCommand(kCmdPreview, m_previewOn != 0);
  return 1;
}
