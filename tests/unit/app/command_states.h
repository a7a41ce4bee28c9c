// The graph states of the main frame and what every menu command does in each, as one
// table; a rig gives the frame its media layer (small fakes, or GStreamer with the
// virtual devices) and the table is played on it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "i18n/lang_text_table.h"
#include "platform/fakes/fake_window.h"
#include "res/menu_ids.h"

namespace command_states {

enum class State {
  NoVideoDevice,
  BuiltStopped,
  Previewing,
  PreviewOff,
  Recording,
  FailedRecordBuild
};

inline const char* StateName(State s) {
  switch (s) {
    case State::NoVideoDevice:
      return "NoVideoDevice";
    case State::BuiltStopped:
      return "BuiltStopped";
    case State::Previewing:
      return "Previewing";
    case State::PreviewOff:
      return "PreviewOff";
    case State::Recording:
      return "Recording";
    case State::FailedRecordBuild:
      return "FailedRecordBuild";
  }
  return "?";
}

// The devices every state starts from: two microphones, and two cameras except in
// NoVideoDevice. Camera 0 offers YUY2 640x480 first (and fails to start in BuiltStopped);
// camera 1 offers UYVY 320x240 first. The Device popup is 16, 17, a separator, 19, 20
// (without cameras: a separator, 17, 18).
struct Devices {
  int cameras = 2;
  bool firstCameraFailsToStart = false;
  int microphones = 2;
};

class Rig {
 public:
  virtual ~Rig() = default;
  // A fresh frame over the devices, created and activated as the application does it.
  virtual void Start(const Devices& devices) = 0;
  virtual CMainFrame& Frame() = 0;
  virtual platform::FakeWindow& Window() = 0;
  // Names of the filters in the frame's graph.
  virtual std::vector<std::string> FilterNames() = 0;
};

// The four graph-state flags and the preview wish.
struct Flags {
  int captureMode, graphBuilt, graphRunning, recording, previewOn;
  bool operator==(const Flags& o) const {
    return captureMode == o.captureMode && graphBuilt == o.graphBuilt &&
           graphRunning == o.graphRunning && recording == o.recording && previewOn == o.previewOn;
  }
};
inline std::ostream& operator<<(std::ostream& os, const Flags& f) {
  return os << "{mode " << f.captureMode << ", built " << f.graphBuilt << ", running "
            << f.graphRunning << ", recording " << f.recording << ", previewOn " << f.previewOn
            << "}";
}
inline Flags FlagsOf(const CMainFrame& f) {
  return {f.m_captureMode, f.m_graphBuilt, f.m_graphRunning, f.m_recording, f.m_previewOn};
}

// What the graph holds beyond the device filters.
enum class Graph { DevicesOnly, DevicesAndStrayTee, Preview, Recording };

inline std::vector<std::string> Expected(Graph g, bool hasVideo) {
  std::vector<std::string> names;
  if (hasVideo) names.push_back("Video Capture device");
  names.push_back("Audio Capture device");
  if (g == Graph::DevicesAndStrayTee) names.push_back("Start tee");
  if (g == Graph::Preview)
    for (const char* n : {"Start tee", "Grabber", "Video DynamicInterpolation", "Render",
                          "SampleGrab", "NullRender"})
      names.push_back(n);
  std::sort(names.begin(), names.end());
  return names;
}

inline std::string En(TextId id) { return LangText(id, 0); }

// One command tried in one state: the flags, messages and graph it leaves.
struct Cell {
  State state;
  uint32_t command;
  Flags after;
  std::vector<std::string> messages;
  Graph graph;
  std::string label = "";  // text of 32774 afterwards; empty = not checked
};

constexpr Flags kNoGraph{0, 0, 0, 0, 1};
constexpr Flags kBuiltStopped{0, 1, 0, 0, 1};
constexpr Flags kPreviewing{0, 1, 1, 0, 1};
constexpr Flags kPreviewOff{0, 1, 0, 0, 0};
constexpr Flags kRecording{1, 1, 1, 1, 1};
constexpr Flags kFailedBuild{1, 0, 0, 0, 1};

// Whether the recording graph can be built on this layer (it decides two rows).
std::vector<Cell> GraphCommandCells(bool recordingBuilds);

// Items the user can reach in a state: false for a grayed item.
struct Grays {
  bool devices, optionItems, startStop, snapshot, frameSettings;
};
inline Grays EnabledIn(State s) {
  switch (s) {
    case State::NoVideoDevice:
      return {true, true, false, false, false};
    case State::BuiltStopped:
    case State::PreviewOff:
    case State::FailedRecordBuild:
      return {true, true, true, false, true};
    case State::Previewing:
      return {true, true, true, true, true};
    case State::Recording:
      return {false, false, true, true, false};
  }
  return {};
}

// Brings a started frame into the state; false (with the reason) when the layer cannot.
bool Enter(Rig& rig, State state, std::string& why);

// Plays every cell of the state; and every command that only changes a setting.
void PlayGraphCommands(Rig& rig, State state, bool recordingBuilds);
void PlaySettingCommands(Rig& rig, State state);
void CheckMenuRules(Rig& rig, State state);

// Whether a rig type's layer builds the recording graph (it decides two rows); asked once.
template <class R>
bool RecordingBuilds() {
  static const bool builds = [] {
    R rig;
    std::string why;
    return Enter(rig, State::Recording, why);
  }();
  return builds;
}

}  // namespace command_states

// The table's tests, in every state, on a rig type: the menu rules, the commands that only
// change a setting, and the graph commands.
#define COMMAND_STATES_TESTS(Suite, RigType)                                                       \
  class Suite : public ::testing::TestWithParam<command_states::State> {};                         \
  TEST_P(Suite, MenuRules) {                                                                       \
    RigType rig;                                                                                   \
    command_states::CheckMenuRules(rig, GetParam());                                               \
  }                                                                                                \
  TEST_P(Suite, SettingCommands) {                                                                 \
    RigType rig;                                                                                   \
    command_states::PlaySettingCommands(rig, GetParam());                                          \
  }                                                                                                \
  TEST_P(Suite, GraphCommands) {                                                                   \
    RigType rig;                                                                                   \
    command_states::PlayGraphCommands(rig, GetParam(),                                             \
                                      command_states::RecordingBuilds<RigType>());                 \
  }                                                                                                \
  INSTANTIATE_TEST_SUITE_P(                                                                        \
      EveryState, Suite,                                                                           \
      ::testing::Values(command_states::State::NoVideoDevice, command_states::State::BuiltStopped, \
                        command_states::State::Previewing, command_states::State::PreviewOff,      \
                        command_states::State::Recording,                                          \
                        command_states::State::FailedRecordBuild),                                 \
      [](const auto& info) { return std::string(command_states::StateName(info.param)); })
