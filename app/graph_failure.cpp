// CMainFrame: the end of a graph that failed while it ran (a camera unplugged, a file
// that cannot be written) and of a recording whose disk is nearly full: the clip is
// finished with what was recorded, one message says so, and the preview comes back.
#include <cstdio>

#include "app/failure_reasons.h"
#include "app/main_frame.h"
#include "capture/graph_utils.h"
#include "i18n/lang_text_table.h"

bool CMainFrame::EndFailedGraph() {
  // A message box's own event loop runs the timer too; the failure it reports is one.
  if (m_endingFailedGraph || !m_pGraph) return false;
  bool writerFailed = false;
  bool cameraFailed = false;
  bool failed = false;
  std::string reason = GraphFailureReason(&writerFailed, &cameraFailed, &failed);
  const bool full = !failed && m_recording && RecordingRoomRunningOut(RecordingElapsedSeconds());
  if (full) reason = failure_reason::DiskNearlyFull(m_captureFolder);
  // Errors of a graph that no longer runs are only logged.
  if ((!failed && !full) || (!m_recording && !m_graphRunning)) return false;

  m_endingFailedGraph = true;
  if (m_recording) {
    // A file whose writer failed has no index: it keeps its marker, and the next start
    // repairs it (on a disk that has room again).
    if (writerFailed) KeepClipUnfinished();
    const BOOL previewWanted = m_previewOn;
    m_previewOn = 0;
    StopRecordingFromTimer();  // finishes the file; the menu reads Start Capture again
    m_previewOn = previewWanted;
    ShowRecordError(reason);
    // A camera that failed (unplugged) would only fail its preview too: one message
    // is enough; the Preview command tries again.
    if (m_previewOn && !cameraFailed && m_selectedVideoDevice >= 0) StartPreview();
  } else {
    StopGraph(m_pGraph.get(), Sys());
    m_graphRunning = 0;
    TearDownGraph();
    ShowCannotPreview(reason);
  }
  m_endingFailedGraph = false;
  return true;
}
