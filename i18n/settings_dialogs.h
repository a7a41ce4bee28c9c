// The frame-rate, time-limit and about dialogs: their texts from LangTextTable, and
// the data exchange that stores the frame's fields on OK.
#pragma once

#include <cstdint>

#include "platform/ui.h"

// What DoModal returns.
constexpr int kIdOk = platform::kDialogOk;
constexpr int kIdCancel = platform::kDialogCancel;

// Template 133: edits the frame's frame-rate fields; the parent is the main window.
class CSetFrameRateDlg : private platform::DialogLogic {
 public:
  static constexpr uint32_t kMinRate = 1;
  static constexpr uint32_t kMaxRate = 60;

  CSetFrameRateDlg(platform::Window& parent, int32_t& frameRateEnabled, int& frameRate,
                   int langIndex);
  int DoModal();

 private:
  void OnShowWindow(platform::DialogControls& dialog) override;
  void OnOK(platform::DialogControls& dialog) override;

  platform::Window& m_parent;
  int32_t& m_frameRateEnabled;
  int& m_frameRate;
  uint32_t m_editRate = 0;
  int m_langIndex;
};

// Template 134: edits the frame's time-limit fields.
class CUseTimeLimitDlg : private platform::DialogLogic {
 public:
  // The frame keeps the limit in an int: larger limits are kept as this many seconds
  // (68 years), which a recording never reaches and the settings file reads back.
  static constexpr int kLargestStoredLimit = INT32_MAX;

  CUseTimeLimitDlg(platform::Window& parent, int32_t& timeLimitEnabled, int& timeLimitSeconds,
                   int langIndex);
  int DoModal();

 private:
  void OnShowWindow(platform::DialogControls& dialog) override;
  void OnOK(platform::DialogControls& dialog) override;

  platform::Window& m_parent;
  int32_t& m_timeLimitEnabled;
  int& m_timeLimitSeconds;
  uint32_t m_editSeconds = 0;
  int m_langIndex;
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
