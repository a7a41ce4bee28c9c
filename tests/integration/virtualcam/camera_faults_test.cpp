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
