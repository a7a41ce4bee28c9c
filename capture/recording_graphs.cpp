// The AVI and WMV recording builds. Until they are written, a recording graph cannot be
// built: the build fails and its caller reports that the recording did not start.
#include "capture/capture_frame.h"

BOOL CaptureFrame::BuildAviGraph() { return 0; }

BOOL CaptureFrame::BuildWmvGraph() { return 0; }
