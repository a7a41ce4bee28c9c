// The still pad gives exactly one frame per trigger and never holds up the capture pad.
#include <gtest/gtest.h>

#include "pipeline_helpers.h"
#include "virtual_devices.h"

namespace {

using vctest::Pipeline;
using vctest::Pull;

// Counts the samples that arrive within the time.
int Drain(GstElement* appsink, int timeoutMs) {
  int n = 0;
  while (GstSample* s = Pull(appsink, timeoutMs)) {
    gst_sample_unref(s);
    ++n;
  }
  return n;
}

void Trigger(GstElement* cam, int times) {
  for (int i = 0; i < times; ++i) g_signal_emit_by_name(cam, "trigger-still");
}

const char kBoth[] =
    "ostrelvirtualcamsrc name=cam cam.src ! queue ! fakesink sync=true "
    "cam.still ! videoconvert ! video/x-raw,format=GRAY8 ! appsink name=still sync=true";

TEST(VirtualCameraStill, OneFramePerTriggerAndPerButtonPress) {
  virtualcam::Configure({virtualcam::CameraSpec{}, virtualcam::CameraSpec{}}, {});
  Pipeline p(kBoth);
  ASSERT_EQ(p.parseError(), "");
  // Triggers before the camera runs are ignored.
  Trigger(p.byName("cam"), 2);
  p.play();
  // The still branch prerolls without a frame, so the whole pipeline reaches PLAYING.
  GstState state;
  ASSERT_EQ(gst_element_get_state(p.get(), &state, nullptr, 3 * GST_SECOND),
            GST_STATE_CHANGE_SUCCESS);
  EXPECT_EQ(state, GST_STATE_PLAYING);
  GstElement* still = p.byName("still");
  EXPECT_EQ(Drain(still, 200), 0);

  Trigger(p.byName("cam"), 3);
  GstSample* s = Pull(still, 2000);
  ASSERT_NE(s, nullptr);
  EXPECT_GE(vctest::ReadCounter(s), 0) << "a still frame is a camera frame";
  gst_sample_unref(s);
  EXPECT_EQ(Drain(still, 500), 2);

  virtualcam::PressSnapshotButton(0);
  EXPECT_EQ(Drain(still, 500), 1);
  virtualcam::PressSnapshotButton(1);  // another camera: not this one
  virtualcam::PressSnapshotButton(7);  // no such camera
  EXPECT_EQ(Drain(still, 300), 0);
}

TEST(VirtualCameraStill, AnEndOfStreamReachesBothBranches) {
  virtualcam::Configure({virtualcam::CameraSpec{}}, {});
  Pipeline p(kBoth);
  p.play();
  ASSERT_EQ(gst_element_get_state(p.get(), nullptr, nullptr, 3 * GST_SECOND),
            GST_STATE_CHANGE_SUCCESS);
  gst_element_send_event(p.get(), gst_event_new_eos());
  GstBus* bus = gst_element_get_bus(p.get());
  GstMessage* msg = gst_bus_timed_pop_filtered(
      bus, 3 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  ASSERT_NE(msg, nullptr) << "the pipeline never ended";
  EXPECT_EQ(GST_MESSAGE_TYPE(msg), GST_MESSAGE_EOS);
  gst_message_unref(msg);
  gst_object_unref(bus);
}

TEST(VirtualCameraStill, StillFramesHaveTheCaptureFormat) {
  virtualcam::Configure({virtualcam::CameraSpec{}}, {});
  Pipeline p(
      "ostrelvirtualcamsrc name=cam cam.src ! video/x-raw,format=I420 ! appsink "
      "name=out sync=false cam.still ! appsink name=still sync=false");
  p.play();
  GstSample* frame = Pull(p.byName("out"), 3000);
  ASSERT_NE(frame, nullptr);
  Trigger(p.byName("cam"), 1);
  GstSample* still = Pull(p.byName("still"), 3000);
  ASSERT_NE(still, nullptr);
  EXPECT_TRUE(gst_caps_is_equal(gst_sample_get_caps(frame), gst_sample_get_caps(still)));
  gst_sample_unref(frame);
  gst_sample_unref(still);
}

TEST(VirtualCameraStill, UnlinkedOrStalledStillBranchNeverHoldsUpCapture) {
  virtualcam::Configure({virtualcam::CameraSpec{}}, {});
  {
    Pipeline p("ostrelvirtualcamsrc name=cam ! appsink name=out sync=false max-buffers=1");
    p.play();
    for (int i = 0; i < 5; ++i) {
      Trigger(p.byName("cam"), 1);
      GstSample* s = Pull(p.byName("out"), 2000);
      ASSERT_NE(s, nullptr) << "frame " << i;
      gst_sample_unref(s);
    }
  }
  {
    // The still sink is never read and holds at most one frame.
    Pipeline p(
        "ostrelvirtualcamsrc name=cam cam.src ! appsink name=out sync=false "
        "cam.still ! appsink name=still sync=false max-buffers=1 drop=false");
    p.play();
    for (int i = 0; i < 8; ++i) {
      Trigger(p.byName("cam"), 2);
      GstSample* s = Pull(p.byName("out"), 2000);
      ASSERT_NE(s, nullptr) << "frame " << i;
      gst_sample_unref(s);
    }
  }
}

TEST(VirtualCameraStill, ACameraWithoutStillPinHasNoStillPadAndIgnoresTriggers) {
  virtualcam::CameraSpec spec;
  spec.hasStillPin = false;
  virtualcam::Configure({spec}, {});
  Pipeline p("ostrelvirtualcamsrc name=cam ! appsink name=out sync=false");
  ASSERT_EQ(gst_element_get_static_pad(p.byName("cam"), "still"), nullptr);
  p.play();
  Trigger(p.byName("cam"), 2);
  virtualcam::PressSnapshotButton(0);
  for (int i = 0; i < 3; ++i) {
    GstSample* s = Pull(p.byName("out"), 2000);
    ASSERT_NE(s, nullptr);
    gst_sample_unref(s);
  }
}

}  // namespace
