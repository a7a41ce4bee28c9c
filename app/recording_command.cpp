// CMainFrame: command 32774, the start and the stop of a recording.
#include "app/main_frame.h"

void CMainFrame::OnStartStopCapture() {}
