// CMainFrame: what a recording needs before the preview is given up for it.
#include "app/failure_reasons.h"
#include "app/main_frame.h"
#include "i18n/lang_text_table.h"

BOOL CMainFrame::CheckRecordingCanStart() {
  // A clip folder that is gone or read-only, or a format no clip can hold, would leave
  // the clock counting over a file that is never written: the preview stays instead.
  std::string reason;
  if (!Sys().PathExists(m_captureFolder))
    reason = failure_reason::FolderMissing(m_captureFolder);
  else if (!Sys().IsWritableFolder(m_captureFolder))
    reason = failure_reason::FolderReadOnly(m_captureFolder);
  else if (!CanRecordFormat(m_videoSubtype))
    reason = failure_reason::FormatCannotBeRecorded();
  else if (m_recordFormat != 0 && m_recordFormat != 1)
    reason = failure_reason::ClipFormatUnknown(m_recordFormat);
  else if (!HasRoomToStartRecording())
    reason = failure_reason::NoRoomLeft(m_captureFolder);
  else
    // Every number up to the last is taken: a clip would replace one of them.
    reason = NoFreeClipNumber();
  if (reason.empty()) return 1;
  ShowRecordError(reason);
  return 0;
}
