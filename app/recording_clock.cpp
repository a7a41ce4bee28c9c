// CMainFrame: the 100 ms timer, the status text, the measured frame rate and the
// recording clock with its time limit.
#include <cmath>
#include <cstdio>

#include "app/main_frame.h"
#include "capture/graph_utils.h"
#include "i18n/lang_text_table.h"
#include "res/menu_ids.h"

namespace {

// A rate past this is no camera's; it can only come from counters that make no sense.
constexpr double kHighestShownRate = 100000.0;

// " HH:MM:SS" of a span in whole seconds, the hours within a day.
std::string TimeSpan(int64_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, " %02ld:%02ld:%02ld", static_cast<long>((seconds / 3600) % 24),
                static_cast<long>((seconds / 60) % 60), static_cast<long>(seconds % 60));
  return text;
}

}  // namespace

void CMainFrame::OnTimer(int) {
  // A device change leaves the state settled (a recording from a lost camera is already
  // finished), so the tick goes on: the clock's count stays in step with the ticks.
  FollowDeviceChanges();         // app/device_hotplug.cpp
  if (EndFailedGraph()) return;  // app/graph_failure.cpp
  if (m_recording) {
    TakeBegunClips();
    const int64_t elapsed = RecordingElapsedSeconds();
    const std::string text = std::string(LangText(TXT_TIME_ELAPSED, m_languageIndex)) +
                             TimeSpan(elapsed) + "." + std::to_string(m_recordTicks % 10);
    ++m_recordTicks;
    ShowStatusText(text);
    // The limit ends the clip at the tick nearest to it, so that the clip lasts the limit
    // to within half a tick; a tick that comes late (a busy user-interface thread) ends
    // it at once.
    if (m_timeLimitEnabled &&
        RecordingElapsedMilliseconds() >= int64_t{m_timeLimitSeconds} * 1000 - kTimerPeriodMs / 2)
      StopRecordingFromTimer();
  } else if (m_selectedVideoDevice >= 0 && m_selectedVideoDevice < kMaxDevices) {
    ShowStatusText(m_videoDeviceNames[m_selectedVideoDevice]);
  }
  // The numbers the still pin and the clip series take between commands.
  if (m_initDone) SaveSettingsIfChanged();
}

void CMainFrame::StartRecordingClock() { StartRecordingClock(Sys().MonotonicMilliseconds()); }

void CMainFrame::StartRecordingClock(int64_t startMs) {
  m_recordTicks = 0;
  m_recordStartTime = Sys().WallSeconds();
  m_recordStartMs = startMs;
  RestartFrameRateWindow();
}

int64_t CMainFrame::RecordingElapsedMilliseconds() const {
  const int64_t ms = m_system.MonotonicMilliseconds() - m_recordStartMs;
  return ms > 0 ? ms : 0;
}

int64_t CMainFrame::RecordingElapsedSeconds() const {
  return RecordingElapsedMilliseconds() / 1000;
}

void CMainFrame::StopRecordingFromTimer() {
  m_captureMode = 0;
  if (m_graphRunning || m_recording) StopGraph(m_pGraph.get(), Sys(), &Ui());  // ends the file
  m_graphRunning = 0;
  m_recording = 0;
  TearDownGraph();
  // The recording has ended whatever becomes of the preview: the command starts anew.
  if (platform::Menu* menu = Ui().GetMenu())
    menu->ModifyByCommand(menu_id::kStartStopCapture, LangText(TXT_START_CAPTURE, m_languageIndex));
  ShowFramesLeftOut();
  if (!m_previewOn) return;
  if (!BuildGraph()) {
    ShowCannotPreview();
    return;
  }
  Ui().BeginWaitCursor();
  if (!RunGraph(m_pGraph.get(), Sys())) {
    TriggerStillPin(m_pBuilder.get(), SelectedVideoFilter());
    Ui().EndWaitCursor();
    ShowCannotPreview(GraphFailureReason());
    return;
  }
  m_graphRunning = 1;
  RestartFrameRateWindow();
  Ui().EndWaitCursor();
}

void CMainFrame::ShowStatusText(const std::string& text) {
  const double r = MeasureFrameRate();
  // Counters that cannot be read (or a rate that cannot be) show the text alone.
  if (r >= 0.0 && r < kHighestShownRate) {
    const int whole = static_cast<int>(r);
    const int tenth = static_cast<int>(r * 10.0) - whole * 10;
    char rate[48];
    std::snprintf(rate, sizeof rate, " -- %d.%d fps", whole, tenth);
    Ui().SetStatusText(text + rate);
  } else {
    Ui().SetStatusText(text);
  }
  if (m_statusPaneWidth > 0) Ui().SetStatusPaneWidth(m_statusPaneWidth);
}

void CMainFrame::RestartFrameRateWindow() {
  m_fpsWindowStart = Sys().Milliseconds();
  m_fpsWindowFrames = 0;
  if (std::shared_ptr<media::FrameCounters> counters = FindFrameCounters()) {
    int32_t delivered = 0;
    if (counters->GetNumNotDropped(delivered) == media::kOk) m_fpsWindowFrames = delivered;
  }
  // The samples taken so far stay: they were rates, and the window's next sample joins
  // them.
}

std::shared_ptr<media::FrameCounters> CMainFrame::FindFrameCounters() {
  media::Filter* device = m_selectedVideoDevice >= 0 && m_selectedVideoDevice < kMaxDevices
                              ? m_videoDevices[m_selectedVideoDevice].get()
                              : nullptr;
  std::shared_ptr<media::FrameCounters> counters;
  if (m_pBuilder && device &&
      !media::Succeeded(m_pBuilder->FindFrameCounters(
          media::PinCategory::Capture, media::MajorType::Interleaved, *device, counters)))
    m_pBuilder->FindFrameCounters(media::PinCategory::Capture, media::MajorType::Video, *device,
                                  counters);
  return counters;
}

double CMainFrame::MeasureFrameRate() {
  m_pDroppedFrames = FindFrameCounters();
  if (!m_pDroppedFrames) return -0.1;
  int32_t dropped = 0;
  int32_t delivered = 0;
  if (m_pDroppedFrames->GetNumDropped(dropped) != media::kOk ||
      m_pDroppedFrames->GetNumNotDropped(delivered) != media::kOk)
    return -0.1;
  const uint32_t now = Sys().Milliseconds();
  const auto frames = static_cast<int32_t>(static_cast<uint32_t>(delivered) -
                                           static_cast<uint32_t>(m_fpsWindowFrames));
  const auto span = static_cast<int32_t>(now - m_fpsWindowStart);
  if (frames < 0 || span < 0) {
    // The device counts from zero again (the graph was rebuilt or another camera
    // chosen): the window starts over rather than show a negative rate.
    RestartFrameRateWindow();
  } else if (span > 0) {
    m_fpsSamples[m_fpsSampleIndex] = frames * 1000.0 / span;
    if (++m_fpsSampleIndex >= 5) {
      m_fpsWindowStart = now;
      m_fpsWindowFrames = delivered;
      m_fpsSampleIndex = 0;
    }
  }
  double sum = 0.0;
  for (double sample : m_fpsSamples) sum += sample;
  return sum / 5.0;
}
