// The frame-rate, time-limit and about dialogs: their texts from LangTextTable, and
// the data exchange that stores the frame's fields on OK.
#pragma once

#include <cstdint>

#include "platform/ui.h"

// What DoModal returns.
constexpr int kIdOk = platform::kDialogOk;
constexpr int kIdCancel = platform::kDialogCancel;

// What the frame-rate and time-limit dialogs share: a check box and an unsigned edit
// box bound to two of the frame's fields, stored on OK. The layout names the template,
// its controls, their texts and the range the edit box takes.
struct CheckedNumberLayout;
class CheckedNumberDlg : private platform::DialogLogic {
 public:
  // The frame keeps the number in an int: larger numbers are kept as this (for a time
  // limit 68 years, which a recording never reaches and the settings file reads back).
  static constexpr int kLargestStoredValue = INT32_MAX;

  int DoModal();

 protected:
  CheckedNumberDlg(const CheckedNumberLayout& layout, platform::Window& parent, int32_t& enabled,
                   int& value, int langIndex);

 private:
  void OnShowWindow(platform::DialogControls& dialog) override;
  void OnOK(platform::DialogControls& dialog) override;

  const CheckedNumberLayout& m_layout;
  platform::Window& m_parent;
  int32_t& m_enabled;
  int& m_value;
  uint32_t m_editValue = 0;
  int m_langIndex;
};

// Template 133: edits the frame's frame-rate fields; the parent is the main window.
class CSetFrameRateDlg : public CheckedNumberDlg {
 public:
  static constexpr uint32_t kMinRate = 1;
  static constexpr uint32_t kMaxRate = 60;

  CSetFrameRateDlg(platform::Window& parent, int32_t& frameRateEnabled, int& frameRate,
                   int langIndex);
};

// Template 134: edits the frame's time-limit fields.
class CUseTimeLimitDlg : public CheckedNumberDlg {
 public:
  static constexpr int kLargestStoredLimit = kLargestStoredValue;

  CUseTimeLimitDlg(platform::Window& parent, int32_t& timeLimitEnabled, int& timeLimitSeconds,
                   int langIndex);
};

// Template 100: the icon, the version and the copyright notice in the frame's language.
// It has no parent; the host window only runs it.
class CAboutDlg : private platform::DialogLogic {
 public:
  CAboutDlg(platform::Window& host, int langIndex);
  int DoModal();

 private:
  void OnShowWindow(platform::DialogControls& dialog) override;

  platform::Window& m_host;
  int m_langIndex;
};
