// The three dialogs' logic over the window system's modal dialogs.
#include "i18n/settings_dialogs.h"

#include "i18n/dialog_data_exchange.h"
#include "i18n/lang_text_table.h"
#include "res/dialog_templates.h"

using namespace dialog_id;

// A control and the text it shows.
struct LabelledControl {
  int id;
  TextId text;
};

struct CheckedNumberLayout {
  const platform::DialogTemplate& (*resource)();
  TextId caption;
  LabelledControl enable, label, unit;
  int editId;
  uint32_t low, high;  // what the edit box takes
};

namespace {

const CheckedNumberLayout kFrameRateLayout{DialogResource133,
                                           TXT_FRAMERATE_CAPTION,
                                           {kFrameRateEnable, TXT_FRAMERATE_ENABLE},
                                           {kFrameRateLabel, TXT_FRAMERATE_LABEL},
                                           {kFrameRateUnit, TXT_FRAMERATE_UNIT},
                                           kFrameRateEdit,
                                           CSetFrameRateDlg::kMinRate,
                                           CSetFrameRateDlg::kMaxRate};

const CheckedNumberLayout kTimeLimitLayout{DialogResource134,
                                           TXT_TIMELIMIT_CAPTION,
                                           {kTimeLimitEnable, TXT_TIMELIMIT_ENABLE},
                                           {kTimeLimitLabel, TXT_TIMELIMIT_LABEL},
                                           {kTimeLimitUnit, TXT_TIMELIMIT_UNIT},
                                           kTimeLimitEdit,
                                           0,
                                           UINT32_MAX};

}  // namespace

CheckedNumberDlg::CheckedNumberDlg(const CheckedNumberLayout& layout, platform::Window& parent,
                                   int32_t& enabled, int& value, int langIndex)
    : m_layout(layout),
      m_parent(parent),
      m_enabled(enabled),
      m_value(value),
      m_langIndex(langIndex) {}

int CheckedNumberDlg::DoModal() { return m_parent.RunModalDialog(m_layout.resource(), *this); }

void CheckedNumberDlg::OnShowWindow(platform::DialogControls& dialog) {
  dialog.SetCaption(LangText(m_layout.caption, m_langIndex));
  for (const LabelledControl& control : {m_layout.enable, m_layout.label, m_layout.unit})
    dialog.SetItemText(control.id, LangText(control.text, m_langIndex));
  dialog.SetItemText(kOk, LangText(TXT_OK, m_langIndex));
  dialog.SetItemText(kCancel, LangText(TXT_CANCEL, m_langIndex));
  dialog.CheckItem(m_layout.enable.id, m_enabled != 0);
  m_editValue = static_cast<uint32_t>(m_value);
  dialog.SetItemText(m_layout.editId, std::to_string(m_editValue));
}

void CheckedNumberDlg::OnOK(platform::DialogControls& dialog) {
  if (!ExchangeUnsigned(dialog, m_layout.editId, m_layout.low, m_layout.high, m_editValue)) return;
  m_enabled = dialog.IsItemChecked(m_layout.enable.id) ? 1 : 0;
  m_value = m_editValue > static_cast<uint32_t>(kLargestStoredValue)
                ? kLargestStoredValue
                : static_cast<int>(m_editValue);
  dialog.EndDialog(kIdOk);
}

CSetFrameRateDlg::CSetFrameRateDlg(platform::Window& parent, int32_t& frameRateEnabled,
                                   int& frameRate, int langIndex)
    : CheckedNumberDlg(kFrameRateLayout, parent, frameRateEnabled, frameRate, langIndex) {}

CUseTimeLimitDlg::CUseTimeLimitDlg(platform::Window& parent, int32_t& timeLimitEnabled,
                                   int& timeLimitSeconds, int langIndex)
    : CheckedNumberDlg(kTimeLimitLayout, parent, timeLimitEnabled, timeLimitSeconds, langIndex) {}

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
