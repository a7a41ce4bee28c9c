// The command table of the graph states and the player that tries it on a rig.
#include "command_states.h"

using namespace menu_id;

namespace command_states {

namespace {

const std::string kTeeError = "Connect InfTee to smart tee Error";

bool HasVideo(State s) { return s != State::NoVideoDevice; }

std::vector<std::string> MessageTexts(const platform::FakeWindow& w) {
  std::vector<std::string> texts;
  for (const auto& m : w.messages) texts.push_back(m.text);
  return texts;
}

// The named filters of the graph, sorted; the converters that connections insert are
// the layer's business.
std::vector<std::string> Sorted(std::vector<std::string> v) {
  const std::vector<std::string> known = Expected(Graph::Preview, true);
  v.erase(std::remove_if(v.begin(), v.end(),
                         [&](const std::string& n) {
                           return std::find(known.begin(), known.end(), n) == known.end();
                         }),
          v.end());
  std::sort(v.begin(), v.end());
  return v;
}

bool Present(platform::Menu& menu, uint32_t id) { return !menu.TextOfCommand(id).empty(); }

}  // namespace

std::vector<Cell> GraphCommandCells(bool recordingBuilds) {
  const std::string cannot = En(TXT_CANNOT_PREVIEW);
  const std::string start = En(TXT_START_CAPTURE);
  const std::string stop = En(TXT_STOP_CAPTURE);
  using S = State;
  std::vector<Cell> cells = {
      // Preview on/off.
      {S::NoVideoDevice, kPreview, kNoGraph, {kTeeError, cannot}, Graph::DevicesAndStrayTee},
      {S::BuiltStopped, kPreview, kBuiltStopped, {cannot}, Graph::Preview},
      {S::Previewing, kPreview, kPreviewOff, {}, Graph::Preview},
      {S::PreviewOff, kPreview, kPreviewing, {}, Graph::Preview},
      // A preview asked for after a failed recording start is a preview, not a recording.
      {S::FailedRecordBuild, kPreview, kPreviewing, {}, Graph::Preview},

      // The capture format's sheet, closed without a change: read, refit, rebuild.
      {S::BuiltStopped, kVideoPinProperties, kBuiltStopped, {cannot}, Graph::Preview},
      {S::Previewing, kVideoPinProperties, kPreviewing, {}, Graph::Preview},
      {S::PreviewOff, kVideoPinProperties, kPreviewOff, {}, Graph::Preview},
      {S::FailedRecordBuild, kVideoPinProperties, kPreviewing, {}, Graph::Preview},

      // The other camera: the graph is torn down, the filter swapped, the preview restarted
      // when it is wanted.
      {S::BuiltStopped, 17, kPreviewing, {}, Graph::Preview},
      {S::Previewing, 17, kPreviewing, {}, Graph::Preview},
      {S::PreviewOff, 17, {0, 0, 0, 0, 0}, {}, Graph::DevicesOnly},
      {S::FailedRecordBuild, 17, kPreviewing, {}, Graph::Preview},
      // The chosen camera: only its check mark.
      {S::Previewing, 16, kPreviewing, {}, Graph::Preview},
      {S::PreviewOff, 16, kPreviewOff, {}, Graph::Preview},
      // The other microphone: swapped without touching the running graph.
      {S::Previewing, 20, kPreviewing, {}, Graph::Preview},
      {S::PreviewOff, 20, kPreviewOff, {}, Graph::Preview},
      {S::NoVideoDevice, 18, kNoGraph, {}, Graph::DevicesOnly},

      // The frame-rate dialog cancelled changes nothing.
      {S::Previewing, kSetFrameRate, kPreviewing, {}, Graph::Preview},
      {S::PreviewOff, kSetFrameRate, kPreviewOff, {}, Graph::Preview},
      {S::BuiltStopped, kSetFrameRate, kBuiltStopped, {}, Graph::Preview},
      {S::FailedRecordBuild, kSetFrameRate, kFailedBuild, {}, Graph::DevicesOnly},

      // The transfer filter's sheet closed unchanged: the graph goes on as it was.
      {S::Previewing, kVideoSizeSetting, kPreviewing, {}, Graph::Preview},
      {S::PreviewOff, kVideoSizeSetting, kPreviewOff, {}, Graph::Preview},
      {S::NoVideoDevice, kVideoSizeSetting, kNoGraph, {}, Graph::DevicesOnly},
      {S::FailedRecordBuild, kVideoSizeSetting, kFailedBuild, {}, Graph::DevicesOnly},

      // The stop path brings the preview back, whatever the preview wish.
      {S::FailedRecordBuild, kStartStopCapture, kPreviewing, {}, Graph::Preview, start},
  };
  if (recordingBuilds) {
    cells.push_back({S::Previewing, kStartStopCapture, kRecording, {}, Graph::Recording, stop});
    cells.push_back(
        {S::PreviewOff, kStartStopCapture, {1, 1, 1, 1, 0}, {}, Graph::Recording, stop});
    cells.push_back({S::BuiltStopped,
                     kStartStopCapture,
                     kBuiltStopped,
                     {En(TXT_RECORD_ERROR), cannot},
                     Graph::Preview,
                     start});
    cells.push_back({S::Recording, kStartStopCapture, kPreviewing, {}, Graph::Preview, start});
    cells.push_back({S::Recording, kVideoSizeSetting, kRecording, {}, Graph::Recording});
  } else {
    // The build fails: the mode stays set, nothing runs, the label still reads Start.
    cells.push_back(
        {S::Previewing, kStartStopCapture, kFailedBuild, {cannot}, Graph::DevicesOnly, start});
    cells.push_back(
        {S::PreviewOff, kStartStopCapture, {1, 0, 0, 0, 0}, {cannot}, Graph::DevicesOnly, start});
    cells.push_back(
        {S::BuiltStopped, kStartStopCapture, kFailedBuild, {cannot}, Graph::DevicesOnly, start});
  }
  return cells;
}

bool Enter(Rig& rig, State state, std::string& why) {
  Devices devices;
  if (state == State::NoVideoDevice) devices.cameras = 0;
  if (state == State::BuiltStopped) devices.firstCameraFailsToStart = true;
  rig.Start(devices);
  CMainFrame& f = rig.Frame();
  platform::FakeWindow& w = rig.Window();
  if (state == State::NoVideoDevice)
    EXPECT_EQ(MessageTexts(w), std::vector<std::string>{En(TXT_NO_VIDEO_DEVICE)});
  else if (state == State::BuiltStopped)
    EXPECT_EQ(MessageTexts(w), std::vector<std::string>{En(TXT_CANNOT_PREVIEW)});
  else
    EXPECT_TRUE(w.messages.empty()) << w.messages.front().text;
  switch (state) {
    case State::PreviewOff:
      f.OnCommand(kPreview);
      EXPECT_EQ(w.videoAreaClears, 1) << "no frozen last frame";
      break;
    case State::Recording:
      f.OnCommand(kStartStopCapture);
      if (!f.m_recording) {
        why = "the recording graph cannot be built on this layer yet";
        return false;
      }
      break;
    case State::FailedRecordBuild: {
      // Sound from a microphone that is not there: the recording build fails on any layer.
      const int microphone = f.m_selectedAudioDevice;
      f.m_recordAudio = 1;
      f.m_selectedAudioDevice = FrameState::kMaxDevices - 1;
      f.OnCommand(kStartStopCapture);
      f.m_selectedAudioDevice = microphone;
      f.m_recordAudio = 0;
      if (!(FlagsOf(f) == kFailedBuild)) {
        why = "a recording build does not fail on this layer";
        return false;
      }
      break;
    }
    default:
      break;
  }
  w.messages.clear();
  w.sheets.clear();
  w.resizes.clear();
  w.closeRequested = false;
  return true;
}

void PlayGraphCommands(Rig& rig, State state, bool recordingBuilds) {
  for (const Cell& cell : GraphCommandCells(recordingBuilds)) {
    if (cell.state != state) continue;
    SCOPED_TRACE(std::string(StateName(state)) + ", command " + std::to_string(cell.command));
    std::string why;
    if (!Enter(rig, state, why)) GTEST_SKIP() << why;
    CMainFrame& f = rig.Frame();
    platform::FakeWindow& w = rig.Window();
    f.OnInitMenu();
    ASSERT_TRUE(w.GetMenu()->IsEnabled(cell.command)) << "the user can reach it";
    f.OnCommand(cell.command);
    EXPECT_EQ(FlagsOf(f), cell.after);
    EXPECT_EQ(MessageTexts(w), cell.messages);
    if (cell.graph != Graph::Recording) {
      EXPECT_EQ(Sorted(rig.FilterNames()), Expected(cell.graph, HasVideo(state)));
    } else {
      EXPECT_NE(Sorted(rig.FilterNames()), Expected(Graph::Preview, true));
    }
    if (!cell.label.empty()) {
      EXPECT_EQ(w.GetMenu()->TextOfCommand(kStartStopCapture), cell.label);
    }
    // The menu as the user opens it next.
    f.OnInitMenu();
    EXPECT_EQ(w.GetMenu()->IsEnabled(kSnapshot), f.m_graphRunning != 0);
    EXPECT_EQ(w.GetMenu()->IsChecked(kPreview), f.m_previewOn != 0);
  }
}

void PlaySettingCommands(Rig& rig, State state) {
  std::string why;
  if (!Enter(rig, state, why)) GTEST_SKIP() << why;
  SCOPED_TRACE(StateName(state));
  CMainFrame& f = rig.Frame();
  platform::FakeWindow& w = rig.Window();
  platform::Menu& menu = *w.GetMenu();
  const Flags before = FlagsOf(f);
  const auto unchanged = [&](const char* what) {
    EXPECT_EQ(FlagsOf(f), before) << what;
    EXPECT_TRUE(w.messages.empty()) << what << ": " << w.messages.front().text;
    w.messages.clear();
  };
  const bool recording = state == State::Recording;
  f.OnInitMenu();

  if (!recording) {
    ASSERT_TRUE(menu.IsEnabled(kSetCaptureFolder));
    w.browseAnswers = {"/tmp/clips", ""};
    f.OnCommand(kSetCaptureFolder);
    EXPECT_EQ(f.m_captureFolder, "/tmp/clips");
    f.OnCommand(kSetCaptureFolder);  // cancelled
    EXPECT_EQ(f.m_captureFolder, "/tmp/clips");
    unchanged("32771");
  }
  ASSERT_TRUE(menu.IsEnabled(kSetSnapshotFolder));
  w.browseAnswers = {"/tmp/stills", ""};
  f.OnCommand(kSetSnapshotFolder);
  f.OnCommand(kSetSnapshotFolder);
  EXPECT_EQ(f.m_snapshotFolder, "/tmp/stills");
  unchanged("32776");

  if (!recording) {
    const BOOL audio = f.m_recordAudio;
    f.OnCommand(kRecordAudio);
    EXPECT_EQ(f.m_recordAudio, audio ? 0 : 1);
    f.OnInitMenu();
    EXPECT_EQ(menu.IsChecked(kRecordAudio), f.m_recordAudio != 0);
    unchanged("32777");
  }

  f.m_clipIndex = 5;
  f.m_snapshotIndex = 7;
  f.OnCommand(kResetFileNumbers);
  EXPECT_EQ(f.m_clipIndex, 0);
  EXPECT_EQ(f.m_snapshotIndex, 0);
  unchanged("32780");

  f.OnCommand(kFormatWmv);
  EXPECT_EQ(f.m_recordFormat, 1);
  f.OnInitMenu();
  EXPECT_TRUE(menu.IsChecked(kFormatWmv));
  EXPECT_FALSE(menu.IsChecked(kFormatAvi));
  f.OnCommand(kFormatAvi);
  EXPECT_EQ(f.m_recordFormat, 0);
  unchanged("32784/32785");

  for (int index = 0; index <= 10; ++index) {
    if (kStillSize[index] == 0) continue;
    f.OnCommand(kStillSize[index]);
    EXPECT_EQ(g_stillSizeIndex, index);
    f.OnInitMenu();
    for (int other = 0; other <= 10; ++other)
      if (kStillSize[other] != 0) {
        EXPECT_EQ(menu.IsChecked(kStillSize[other]), other == index) << index << " " << other;
      }
  }
  g_stillSizeIndex = 0;
  unchanged("still sizes");

  int abouts = 0;
  f.SetAboutHandler([&] { ++abouts; });
  f.OnCommand(kAppAbout);
  EXPECT_EQ(abouts, 1);
  unchanged("57664");

  if (!recording) {
    const size_t sheets = w.sheets.size();
    if (HasVideo(state)) {
      ASSERT_TRUE(Present(menu, kVideoFilterProperties));
      f.OnCommand(kVideoFilterProperties);
      EXPECT_EQ(w.sheets.size(), sheets + 1) << "the camera's picture controls";
    } else {
      EXPECT_FALSE(Present(menu, kVideoFilterProperties));
      EXPECT_FALSE(Present(menu, kVideoPinProperties));
    }
    ASSERT_TRUE(Present(menu, kAudioFilterProperties));
    f.OnCommand(kAudioFilterProperties);
    EXPECT_EQ(w.sheets.size(), sheets + (HasVideo(state) ? 2 : 1)) << "the microphone's page";
    unchanged("40/42");
    if (HasVideo(state)) {
      const int limit = f.m_timeLimitSeconds;
      f.OnCommand(kRecordTimeLimit);  // closed without OK
      EXPECT_EQ(f.m_timeLimitSeconds, limit);
      unchanged("32779");
    }
  }

  if (menu.IsEnabled(kSnapshot)) {
    f.OnCommand(kSnapshot);
    EXPECT_EQ(FlagsOf(f), before) << "32775";
    w.messages.clear();
  }

  f.OnCommand(kAppExit);
  EXPECT_TRUE(w.closeRequested);
}

void CheckMenuRules(Rig& rig, State state) {
  std::string why;
  if (!Enter(rig, state, why)) GTEST_SKIP() << why;
  SCOPED_TRACE(StateName(state));
  CMainFrame& f = rig.Frame();
  platform::Menu& menu = *rig.Window().GetMenu();
  const Grays on = EnabledIn(state);

  f.m_recordAudio = 1;
  f.m_recordFormat = 1;
  g_stillSizeIndex = 6;  // a size without an item (only the settings file can give it)
  f.OnInitMenu();
  EXPECT_TRUE(menu.IsChecked(kRecordAudio));
  EXPECT_TRUE(menu.IsChecked(kFormatWmv));
  EXPECT_FALSE(menu.IsChecked(kFormatAvi));
  for (uint32_t id : kStillSize)
    if (id) {
      EXPECT_FALSE(menu.IsChecked(id)) << id;
    }
  EXPECT_EQ(menu.IsChecked(kPreview), f.m_previewOn != 0);

  const uint32_t lastDevice = HasVideo(state) ? 20 : 18;
  for (uint32_t id = 16; id <= lastDevice; ++id)
    if (Present(menu, id)) {
      EXPECT_EQ(menu.IsEnabled(id), on.devices) << id;
    }
  for (uint32_t id : {kPreview, kVideoFilterProperties, kVideoPinProperties, kAudioFilterProperties,
                      kRecordAudio, kSetCaptureFolder})
    if (Present(menu, id)) {
      EXPECT_EQ(menu.IsEnabled(id), on.optionItems) << id;
    }
  EXPECT_EQ(menu.IsEnabled(kStartStopCapture), on.startStop);
  EXPECT_EQ(menu.IsEnabled(kSnapshot), on.snapshot);
  EXPECT_EQ(menu.IsEnabled(kSetFrameRate), on.frameSettings);
  EXPECT_EQ(menu.IsEnabled(kRecordTimeLimit), on.frameSettings);
  for (uint32_t id : {kSetSnapshotFolder, kResetFileNumbers, kFormatAvi, kFormatWmv,
                      kVideoSizeSetting, kAppAbout, kAppExit})
    EXPECT_TRUE(menu.IsEnabled(id)) << id;
  for (uint32_t id : kStillSize)
    if (id) {
      EXPECT_TRUE(menu.IsEnabled(id)) << id;
    }

  // The check marks follow the fields at the next opening.
  f.m_recordAudio = 0;
  f.m_recordFormat = 0;
  g_stillSizeIndex = 4;
  f.OnInitMenu();
  EXPECT_FALSE(menu.IsChecked(kRecordAudio));
  EXPECT_TRUE(menu.IsChecked(kFormatAvi));
  EXPECT_TRUE(menu.IsChecked(kStillSize[4]));
  g_stillSizeIndex = 0;
}

}  // namespace command_states
