// The three dialogs' logic over the window system's modal dialogs.
#include "i18n/settings_dialogs.h"

CSetFrameRateDlg::CSetFrameRateDlg(platform::Window& parent, int32_t& frameRateEnabled,
                                   int& frameRate, int langIndex)
    : m_parent(parent),
      m_frameRateEnabled(frameRateEnabled),
      m_frameRate(frameRate),
      m_langIndex(langIndex) {}

int CSetFrameRateDlg::DoModal() { return kIdCancel; }

CUseTimeLimitDlg::CUseTimeLimitDlg(platform::Window& parent, int32_t& timeLimitEnabled,
                                   int& timeLimitSeconds, int langIndex)
    : m_parent(parent),
      m_timeLimitEnabled(timeLimitEnabled),
      m_timeLimitSeconds(timeLimitSeconds),
      m_langIndex(langIndex) {}

int CUseTimeLimitDlg::DoModal() { return kIdCancel; }

CAboutDlg::CAboutDlg(platform::Window& host, int langIndex)
    : m_host(host), m_langIndex(langIndex) {}

int CAboutDlg::DoModal() { return kIdCancel; }
