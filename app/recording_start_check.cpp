// CMainFrame: what a recording needs before the preview is given up for it.
#include "app/main_frame.h"
#include "i18n/lang_text_table.h"

BOOL CMainFrame::CheckRecordingCanStart() {
  // A clip folder that is gone or read-only, or a format no clip can hold, would leave
  // the clock counting over a file that is never written: the preview stays instead.
  if (Sys().IsWritableFolder(m_captureFolder) && CanRecordFormat(m_videoSubtype) &&
      (m_recordFormat == 0 || m_recordFormat == 1) && HasRoomToStartRecording())
    return 1;
  ShowRecordError();
  return 0;
}
