// CMainFrame: the menu snapshot, written from the preview grabber's newest frame.
#include "app/main_frame.h"

int32_t CMainFrame::TakeSnapshot() { return 0; }

void CMainFrame::SetSnapshotFolder(const std::string& folder) { m_snapshotFolder = folder; }

void CMainFrame::ResetFileNumbers() {
  m_clipIndex = 0;
  m_snapshotIndex = 0;
}
