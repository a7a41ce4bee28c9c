// CaptureFrame: the marker of the clip being recorded and the repair of abandoned clips.
#include <cstdio>
#include <iostream>

#include "capture/capture_frame.h"
#include "capture/unfinished_clips.h"

void CaptureFrame::MarkClipUnfinished(const std::string& clip) {
  MarkClipFinished();
  if (!unfinished_clips::Mark(clip, Sys().ProcessToken()))
    std::fprintf(stderr,
                 "ostrel: could not mark %s as being recorded; a crash would leave it unrepaired\n",
                 clip.c_str());
  m_unfinishedClip = clip;
}

void CaptureFrame::MarkClipFinished() {
  if (m_unfinishedClip.empty()) return;
  unfinished_clips::Unmark(m_unfinishedClip);
  m_unfinishedClip.clear();
}

void CaptureFrame::RepairUnfinishedClips() {
  std::shared_ptr<media::ClipRepairer> repairer = Media().CreateClipRepairer();
  if (!repairer) return;
  unfinished_clips::RepairAbandoned(m_captureFolder, Sys(), *repairer, std::cerr);
}
