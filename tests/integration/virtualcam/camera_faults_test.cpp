// The camera's switches: a start that fails, picture controls present or absent,
// and the orientation its RGB formats report.
#include <gtest/gtest.h>

#include <gst/video/colorbalance.h>

#include <map>
#include <string>

#include "pipeline_helpers.h"
#include "virtual_devices.h"

namespace {

GstElement* MakeCamera(const char* factory, int index) {
  GstElement* e = gst_element_factory_make(factory, nullptr);
  if (e) g_object_set(e, "camera-index", index, nullptr);
  return e ? GST_ELEMENT(gst_object_ref_sink(e)) : nullptr;
}

TEST(VirtualCameraFaults, ACameraThatFailsToStartFailsTheStateChangeWithAnError) {
  virtualcam::CameraSpec spec;
  spec.failsToStart = true;
  virtualcam::Configure({spec}, {});
  vctest::Pipeline p("ostrelvirtualcamsrc ! fakesink");
  EXPECT_EQ(p.play(), GST_STATE_CHANGE_FAILURE);
  EXPECT_NE(p.waitForError(1000), "");
}

TEST(VirtualCameraFaults, ACameraShortOfFramesMakesThemAtTheirOwnTimesUnderTheFormatsRate) {
  virtualcam::CameraSpec spec;
  spec.formats = {{"YUY2", 160, 120, 30}};
  spec.deliveredFps = 22;
  virtualcam::Configure({spec}, {});
  vctest::Pipeline p("ostrelvirtualcamsrc ! appsink name=out sync=false");
  ASSERT_NE(p.play(), GST_STATE_CHANGE_FAILURE);
  GstElement* out = p.byName("out");
  std::vector<GstClockTime> times;
  GstSample* sample = nullptr;
  while (times.size() < 45 && (sample = vctest::Pull(out, 5000))) {
    if (times.empty()) {
      gint num = 0, den = 0;
      gst_structure_get_fraction(gst_caps_get_structure(gst_sample_get_caps(sample), 0),
                                 "framerate", &num, &den);
      EXPECT_EQ(num, 30);
      EXPECT_EQ(den, 1);
    }
    times.push_back(GST_BUFFER_PTS(gst_sample_get_buffer(sample)));
    gst_sample_unref(sample);
  }
  ASSERT_EQ(times.size(), 45u);
  // 44 intervals of 22 frames a second span two seconds, each a whole frame time or two.
  const GstClockTime frame = GST_SECOND / 30;
  EXPECT_NEAR(static_cast<double>(times.back() - times.front()) / GST_SECOND, 2.0, 0.05);
  for (size_t i = 1; i < times.size(); ++i) {
    const GstClockTime step = times[i] - times[i - 1];
    EXPECT_TRUE(step >= frame - 2 && step <= 2 * frame + 2) << step;
  }
}

TEST(VirtualCameraFaults, ACameraUnpluggedWhileStreamingPostsAnErrorAndEndsItsStream) {
  virtualcam::CameraSpec spec;
  spec.formats = {{"YUY2", 160, 120, 30}};
  spec.unplugAfterFrames = 5;
  virtualcam::Configure({spec}, {});
  vctest::Pipeline p("ostrelvirtualcamsrc ! appsink name=out sync=false");
  ASSERT_NE(p.play(), GST_STATE_CHANGE_FAILURE);
  int frames = 0;
  while (GstSample* sample = vctest::Pull(p.byName("out"), 3000)) {
    ++frames;
    gst_sample_unref(sample);
  }
  EXPECT_EQ(frames, 5);
  EXPECT_TRUE(gst_app_sink_is_eos(GST_APP_SINK(p.byName("out"))));
  EXPECT_NE(p.waitForError(1000).find("unplugged"), std::string::npos);
}

TEST(VirtualCameraFaults, AMicrophoneThatFailsToStartFailsTheStateChangeWithAnError) {
  virtualcam::MicrophoneSpec mic;
  mic.failsToStart = true;
  virtualcam::Configure({}, {virtualcam::MicrophoneSpec{}, mic});
  vctest::Pipeline works("ostrelvirtualmicsrc microphone-index=0 ! fakesink");
  EXPECT_NE(works.play(), GST_STATE_CHANGE_FAILURE);
  vctest::Pipeline fails("ostrelvirtualmicsrc microphone-index=1 ! fakesink");
  EXPECT_EQ(fails.play(), GST_STATE_CHANGE_FAILURE);
  EXPECT_NE(fails.waitForError(1000), "");
}

TEST(VirtualCameraFaults, PictureControlsReadBackAndMatchTheColourBalance) {
  virtualcam::Configure({virtualcam::CameraSpec{}}, {});
  GstElement* cam = MakeCamera("ostrelvirtualcamsrc", 0);
  ASSERT_NE(cam, nullptr);
  ASSERT_TRUE(GST_IS_COLOR_BALANCE(cam));
  // The values a freshly listed device is given, each within its range.
  const std::map<std::string, int> values = {{"brightness", 0},  {"contrast", 62}, {"hue", 20},
                                             {"saturation", 64}, {"sharpness", 2}, {"gamma", 125}};
  for (const auto& [name, value] : values) {
    g_object_set(cam, name.c_str(), value, nullptr);
    int read = -1;
    g_object_get(cam, name.c_str(), &read, nullptr);
    EXPECT_EQ(read, value) << name;
  }
  std::map<std::string, GstColorBalanceChannel*> channels;
  for (const GList* l = gst_color_balance_list_channels(GST_COLOR_BALANCE(cam)); l; l = l->next) {
    auto* ch = GST_COLOR_BALANCE_CHANNEL(l->data);
    channels[ch->label] = ch;
  }
  ASSERT_EQ(channels.size(), 4u);
  EXPECT_EQ(channels["BRIGHTNESS"]->min_value, -64);
  EXPECT_EQ(channels["HUE"]->max_value, 2000);
  EXPECT_EQ(gst_color_balance_get_value(GST_COLOR_BALANCE(cam), channels["CONTRAST"]), 62);
  gst_color_balance_set_value(GST_COLOR_BALANCE(cam), channels["SATURATION"], 90);
  int saturation = 0;
  g_object_get(cam, "saturation", &saturation, nullptr);
  EXPECT_EQ(saturation, 90);
  gst_object_unref(cam);
}

TEST(VirtualCameraFaults, ACameraWithoutPictureControlsHasNone) {
  virtualcam::CameraSpec spec;
  spec.hasPictureControls = false;
  spec.topDown = true;
  virtualcam::Configure({spec}, {});
  GstElement* cam = MakeCamera("ostrelvirtualcamsrcplain", 0);
  ASSERT_NE(cam, nullptr);
  EXPECT_FALSE(GST_IS_COLOR_BALANCE(cam));
  for (const char* name : {"brightness", "contrast", "hue", "saturation", "sharpness", "gamma"}) {
    EXPECT_EQ(g_object_class_find_property(G_OBJECT_GET_CLASS(cam), name), nullptr) << name;
  }
  gboolean topDown = FALSE;
  g_object_get(cam, "top-down", &topDown, nullptr);
  EXPECT_TRUE(topDown);
  gst_object_unref(cam);
}

}  // namespace
