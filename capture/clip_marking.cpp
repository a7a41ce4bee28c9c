// CaptureFrame: the clips of the recording, their markers, and the repair of abandoned
// clips.
#include <iostream>

#include "capture/capture_frame.h"
#include "capture/graph_utils.h"
#include "capture/unfinished_clips.h"

void CaptureFrame::BeginClipSeries(media::Filter* writer, int index, const char* extension) {
  FinishClipSeries();
  clip_series::PathOf pathOf = [folder = m_captureFolder, ext = std::string(extension)](int n) {
    return clip_series::ClipPath(folder, n, ext);
  };
  m_clipSeries =
      std::make_shared<clip_series::Series>(std::move(pathOf), Sys(), Sys().ProcessToken(), index);
  m_clipsTaken = 1;
  SetSinkFileName(writer, m_clipSeries->First());
  if (std::shared_ptr<media::FileSink> sink = writer ? writer->GetFileSink() : nullptr) {
    // The writer may outlive the frame's reference to the series (a graph torn down late).
    std::weak_ptr<clip_series::Series> series = m_clipSeries;
    sink->SetNextFileNamer([series] {
      std::shared_ptr<clip_series::Series> s = series.lock();
      return s ? s->Next() : std::string();
    });
  }
}

void CaptureFrame::TakeBegunClips() {
  if (!m_clipSeries) return;
  const int begun = m_clipSeries->Begun();
  if (begun == m_clipsTaken) return;
  m_clipsTaken = begun;
  m_clipIndex = m_clipSeries->NextIndex();
}

void CaptureFrame::FinishClipSeries() {
  if (!m_clipSeries) return;
  TakeBegunClips();
  m_clipSeries->Finish();
  m_clipSeries.reset();
}

void CaptureFrame::KeepClipUnfinished() {
  if (m_clipSeries) m_clipSeries->Abandon();
}

void CaptureFrame::RepairUnfinishedClips() {
  m_repairs.Start(m_captureFolder, Sys(), Media().CreateClipRepairer(), std::cerr);
}
