// CMainFrame: what a recording needs before the preview is given up for it.
#include <cstdio>

#include "app/main_frame.h"
#include "i18n/lang_text_table.h"

BOOL CMainFrame::CheckRecordingCanStart() {
  // A clip folder that is gone or read-only, or a format no clip can hold, would leave
  // the clock counting over a file that is never written: the preview stays instead.
  if (!Sys().IsWritableFolder(m_captureFolder) || !CanRecordFormat(m_videoSubtype) ||
      (m_recordFormat != 0 && m_recordFormat != 1) || !HasRoomToStartRecording()) {
    ShowRecordError();
    return 0;
  }
  // Every number up to the last is taken: a clip would replace one of them.
  const std::string taken = NoFreeClipNumber();
  if (taken.empty()) return 1;
  std::fprintf(stderr, "ostrel: %s\n", taken.c_str());
  ShowRecordError(taken);
  return 0;
}
