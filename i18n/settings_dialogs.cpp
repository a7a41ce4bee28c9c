// The three dialogs' logic over the window system's modal dialogs.
#include "i18n/settings_dialogs.h"

#include "i18n/dialog_data_exchange.h"
#include "i18n/lang_text_table.h"
#include "res/dialog_templates.h"

using namespace dialog_id;

CSetFrameRateDlg::CSetFrameRateDlg(platform::Window& parent, int32_t& frameRateEnabled,
                                   int& frameRate, int langIndex)
    : m_parent(parent),
      m_frameRateEnabled(frameRateEnabled),
      m_frameRate(frameRate),
      m_langIndex(langIndex) {}

int CSetFrameRateDlg::DoModal() { return m_parent.RunModalDialog(DialogResource133(), *this); }

void CSetFrameRateDlg::OnShowWindow(platform::DialogControls& dialog) {
  dialog.SetCaption(LangText(TXT_FRAMERATE_CAPTION, m_langIndex));
  dialog.SetItemText(kFrameRateEnable, LangText(TXT_FRAMERATE_ENABLE, m_langIndex));
  dialog.SetItemText(kFrameRateLabel, LangText(TXT_FRAMERATE_LABEL, m_langIndex));
  dialog.SetItemText(kFrameRateUnit, LangText(TXT_FRAMERATE_UNIT, m_langIndex));
  dialog.SetItemText(kOk, LangText(TXT_OK, m_langIndex));
  dialog.SetItemText(kCancel, LangText(TXT_CANCEL, m_langIndex));
  dialog.CheckItem(kFrameRateEnable, m_frameRateEnabled != 0);
  m_editRate = static_cast<uint32_t>(m_frameRate);
  dialog.SetItemText(kFrameRateEdit, std::to_string(m_editRate));
}

void CSetFrameRateDlg::OnOK(platform::DialogControls& dialog) {
  if (!ExchangeUnsigned(dialog, kFrameRateEdit, kMinRate, kMaxRate, m_editRate)) return;
  m_frameRateEnabled = dialog.IsItemChecked(kFrameRateEnable) ? 1 : 0;
  m_frameRate = static_cast<int>(m_editRate);
  dialog.EndDialog(kIdOk);
}

CUseTimeLimitDlg::CUseTimeLimitDlg(platform::Window& parent, int32_t& timeLimitEnabled,
                                   int& timeLimitSeconds, int langIndex)
    : m_parent(parent),
      m_timeLimitEnabled(timeLimitEnabled),
      m_timeLimitSeconds(timeLimitSeconds),
      m_langIndex(langIndex) {}

int CUseTimeLimitDlg::DoModal() { return m_parent.RunModalDialog(DialogResource134(), *this); }

void CUseTimeLimitDlg::OnShowWindow(platform::DialogControls& dialog) {
  dialog.SetCaption(LangText(TXT_TIMELIMIT_CAPTION, m_langIndex));
  dialog.SetItemText(kTimeLimitEnable, LangText(TXT_TIMELIMIT_ENABLE, m_langIndex));
  dialog.SetItemText(kTimeLimitLabel, LangText(TXT_TIMELIMIT_LABEL, m_langIndex));
  dialog.SetItemText(kTimeLimitUnit, LangText(TXT_TIMELIMIT_UNIT, m_langIndex));
  dialog.SetItemText(kOk, LangText(TXT_OK, m_langIndex));
  dialog.SetItemText(kCancel, LangText(TXT_CANCEL, m_langIndex));
  dialog.CheckItem(kTimeLimitEnable, m_timeLimitEnabled != 0);
  m_editSeconds = static_cast<uint32_t>(m_timeLimitSeconds);
  dialog.SetItemText(kTimeLimitEdit, std::to_string(m_editSeconds));
}

void CUseTimeLimitDlg::OnOK(platform::DialogControls& dialog) {
  if (!ExchangeUnsigned(dialog, kTimeLimitEdit, 0, UINT32_MAX, m_editSeconds)) return;
  m_timeLimitEnabled = dialog.IsItemChecked(kTimeLimitEnable) ? 1 : 0;
  m_timeLimitSeconds = m_editSeconds > static_cast<uint32_t>(kLargestStoredLimit)
                           ? kLargestStoredLimit
                           : static_cast<int>(m_editSeconds);
  dialog.EndDialog(kIdOk);
}

CAboutDlg::CAboutDlg(platform::Window& host, int langIndex)
    : m_host(host), m_langIndex(langIndex) {}

int CAboutDlg::DoModal() {
  return m_host.RunModalDialog(DialogResource100(), *this, platform::DialogOwner::None);
}

void CAboutDlg::OnShowWindow(platform::DialogControls& dialog) {
  dialog.SetCaption(LangText(TXT_ABOUT_CAPTION, m_langIndex));
  dialog.SetItemText(kAboutVersion, LangText(TXT_ABOUT_VERSION, m_langIndex));
  dialog.SetItemText(kAboutCopyright, LangText(TXT_ABOUT_COPYRIGHT, m_langIndex));
  dialog.SetItemText(kOk, LangText(TXT_OK, m_langIndex));
}
