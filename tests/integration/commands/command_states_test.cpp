// The graph states' command table on the real GStreamer layer with the virtual devices.
#include <gtest/gtest.h>

#include "gst_rig.h"

namespace {

COMMAND_STATES_TESTS(GstCommandStates, GstRig);

}  // namespace
