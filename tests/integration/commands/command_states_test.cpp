// The graph states' command table on the real GStreamer layer with the virtual devices.
#include <gtest/gtest.h>

#include "gst_rig.h"

namespace {

using command_states::State;

// Whether this build can make a recording graph at all (the first camera, YUY2 AVI).
bool RecordingBuilds() {
  static const bool builds = [] {
    GstRig rig;
    std::string why;
    return command_states::Enter(rig, State::Recording, why);
  }();
  return builds;
}

class GstCommandStates : public ::testing::TestWithParam<State> {};

TEST_P(GstCommandStates, MenuRules) {
  GstRig rig;
  command_states::CheckMenuRules(rig, GetParam());
}

TEST_P(GstCommandStates, SettingCommands) {
  GstRig rig;
  command_states::PlaySettingCommands(rig, GetParam());
}

TEST_P(GstCommandStates, GraphCommands) {
  GstRig rig;
  command_states::PlayGraphCommands(rig, GetParam(), RecordingBuilds());
}

INSTANTIATE_TEST_SUITE_P(EveryState, GstCommandStates,
                         ::testing::Values(State::NoVideoDevice, State::BuiltStopped,
                                           State::Previewing, State::PreviewOff, State::Recording,
                                           State::FailedRecordBuild),
                         [](const auto& info) { return command_states::StateName(info.param); });

}  // namespace
