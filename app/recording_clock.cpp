// CMainFrame: the 100 ms timer, the status text and the recording clock.
#include "app/main_frame.h"

void CMainFrame::OnTimer(int) { DrainGraphEvents(); }

void CMainFrame::ShowStatusText(const std::string& text) { Ui().SetStatusText(text); }

double CMainFrame::MeasureFrameRate() { return -0.1; }
