// CMainFrame: command 32774, the start and the stop of a recording.
#include "app/main_frame.h"
#include "capture/graph_utils.h"
#include "i18n/lang_text_table.h"
#include "res/menu_ids.h"

namespace {

// The recording graph settles this long before the clock starts counting.
constexpr uint32_t kRecordStartSettleMs = 200;

}  // namespace

void CMainFrame::RelabelStartStop(TextId textId) {
  if (platform::Menu* menu = Ui().GetMenu())
    menu->ModifyByCommand(menu_id::kStartStopCapture, LangText(textId, m_languageIndex));
}

bool CMainFrame::StartRecording() {
  // A folder that takes no file or a format no clip holds: the preview goes on.
  if (!CheckRecordingCanStart()) return false;
  m_captureMode = 1;
  if (m_recording || m_graphRunning) StopGraph(m_pGraph.get(), Sys());
  // Nothing runs from here until a graph is started again.
  m_graphRunning = 0;
  // The teardown also logs what the preview's graph reported, so that it is not taken
  // for the recording's failure at its first tick.
  TearDownGraph();
  if (!BuildGraph()) {
    // The mode stays set: the next use of the command takes the stop path.
    ShowCannotPreview();
    return false;
  }
  // The clip's number is taken: a crash from here on must not hand it out again.
  if (m_initDone) SaveSettingsIfChanged();
  Ui().BeginWaitCursor();
  int64_t runningSince = 0;
  if (RunGraph(m_pGraph.get(), Sys(), &runningSince)) {
    m_graphRunning = 1;
    m_recording = 1;
    // The clip takes frames from the moment the graph runs: its clock counts from then,
    // not from after the settling waits. (The ticks from 0, the wall-clock start, and
    // the monotonic start it counts from.)
    StartRecordingClock(runningSince);
    Sys().Sleep(kRecordStartSettleMs);
    Ui().EndWaitCursor();
    RelabelStartStop(TXT_STOP_CAPTURE);
    return true;
  }
  TriggerStillPin(m_pBuilder.get(), SelectedVideoFilter());
  ShowRecordError(GraphFailureReason());
  // Back to the preview, whatever the preview setting says.
  m_captureMode = 0;
  TearDownGraph();
  if (!BuildGraph()) {
    Ui().EndWaitCursor();
    ShowCannotPreview();
    return false;
  }
  if (!RunGraph(m_pGraph.get(), Sys())) {
    TriggerStillPin(m_pBuilder.get(), SelectedVideoFilter());
    ShowCannotPreview(GraphFailureReason());
  } else {
    m_graphRunning = 1;
  }
  Ui().EndWaitCursor();
  return false;
}

bool CMainFrame::StopRecording() {
  m_captureMode = 0;
  m_recordTicks = 0;
  // Stopping ends the file, with every frame captured before the stop.
  if (m_recording || m_graphRunning) StopGraph(m_pGraph.get(), Sys(), &Ui());
  m_graphRunning = 0;
  TearDownGraph();
  // The clip is finished: the clock stops and the command starts anew, even when the
  // preview cannot come back below.
  m_recording = 0;
  RelabelStartStop(TXT_START_CAPTURE);
  ShowFramesLeftOut();
  if (!BuildGraph()) {
    ShowCannotPreview();
    return false;
  }
  Ui().BeginWaitCursor();
  if (!RunGraph(m_pGraph.get(), Sys())) {
    TriggerStillPin(m_pBuilder.get(), SelectedVideoFilter());
    ShowCannotPreview(GraphFailureReason());
    Ui().EndWaitCursor();
    return false;
  }
  m_graphRunning = 1;
  RestartFrameRateWindow();
  Ui().EndWaitCursor();
  return true;
}

void CMainFrame::OnStartStopCapture() {
  if (!m_pGraph) return;
  if (m_captureMode)
    StopRecording();
  else
    StartRecording();
}
