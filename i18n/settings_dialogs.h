// The frame-rate, time-limit and about dialogs: their texts from LangTextTable, and
// the data exchange that stores the frame's fields on OK.
#pragma once

#include <cstdint>

namespace platform {
class Window;
}

// What DoModal returns.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// Template 133: edits the frame's frame-rate fields; the parent is the main window.
class CSetFrameRateDlg {
 public:
  CSetFrameRateDlg(platform::Window& parent, int32_t& frameRateEnabled, int& frameRate,
                   int langIndex);
  int DoModal();

 private:
  platform::Window& m_parent;
  int32_t& m_frameRateEnabled;
  int& m_frameRate;
  uint32_t m_editRate = 0;
  int m_langIndex;
};

// Template 134: edits the frame's time-limit fields.
class CUseTimeLimitDlg {
 public:
  CUseTimeLimitDlg(platform::Window& parent, int32_t& timeLimitEnabled, int& timeLimitSeconds,
                   int langIndex);
  int DoModal();

 private:
  platform::Window& m_parent;
  int32_t& m_timeLimitEnabled;
  int& m_timeLimitSeconds;
  uint32_t m_editSeconds = 0;
  int m_langIndex;
};

// Template 100: the icon, the version and the copyright notice in the frame's language.
class CAboutDlg {
 public:
  CAboutDlg(platform::Window& host, int langIndex);
  int DoModal();

 private:
  platform::Window& m_host;
  int m_langIndex;
};
