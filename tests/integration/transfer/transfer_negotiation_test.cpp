// The filter's properties: the offered sizes, refused sizes, and a size change while playing.
#include <gtest/gtest.h>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <cstdio>
#include <string>

#include "plugins/transfer/transfer_register.h"
#include "transfer_pipeline.h"

namespace transfer_test {
namespace {

class TransferProperties : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { transfer::RegisterStatic(); }
  void SetUp() override {
    element_ = gst_element_factory_make("ostreltransfer", nullptr);
    ASSERT_NE(element_, nullptr);
    gst_object_ref_sink(element_);
  }
  void TearDown() override {
    if (element_) gst_object_unref(element_);
  }
  unsigned Get(const char* name) {
    guint value = 0;
    g_object_get(element_, name, &value, nullptr);
    return value;
  }
  GstElement* element_ = nullptr;
};

TEST_F(TransferProperties, DescribesItselfGenericallyAndDefaultsToTheInputSize) {
  GstElementFactory* factory = gst_element_get_factory(element_);
  EXPECT_STREQ(gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME),
               "Video transfer filter");
  EXPECT_EQ(Get("output-width"), 0u);
  EXPECT_EQ(Get("output-height"), 0u);
}

// The property page offers exactly these; each must be one the element takes.
TEST_F(TransferProperties, EveryOfferedSizeIsAccepted) {
  gchar* sizes = nullptr;
  g_object_get(element_, "available-sizes", &sizes, nullptr);
  ASSERT_NE(sizes, nullptr);
  EXPECT_STREQ(sizes, "0x0,320x240,640x480,800x600,1024x768,1280x720,1280x960,1600x1200,1920x1080");
  gchar** list = g_strsplit(sizes, ",", -1);
  for (gchar** item = list; *item; ++item) {
    unsigned width = 0, height = 0;
    ASSERT_EQ(std::sscanf(*item, "%ux%u", &width, &height), 2) << *item;
    g_object_set(element_, "output-width", width, "output-height", height, nullptr);
    EXPECT_EQ(Get("output-width"), width);
    EXPECT_EQ(Get("output-height"), height);
  }
  g_strfreev(list);
  g_free(sizes);
}

int g_warnings = 0;
void CountWarning(const gchar*, GLogLevelFlags, const gchar*, gpointer) { ++g_warnings; }

TEST_F(TransferProperties, SizeBelowTheSmallestIsRefusedWithAWarning) {
  g_object_set(element_, "output-width", 640u, "output-height", 480u, nullptr);
  g_warnings = 0;
  GLogFunc previous = g_log_set_default_handler(CountWarning, nullptr);
  g_object_set(element_, "output-width", 100u, nullptr);
  g_object_set(element_, "output-height", 239u, nullptr);
  g_log_set_default_handler(previous, nullptr);
  EXPECT_EQ(g_warnings, 2);
  EXPECT_EQ(Get("output-width"), 640u);
  EXPECT_EQ(Get("output-height"), 480u);
}

// A running preview whose size is chosen on the property page: the next frames come at the
// new size and the src pad's caps say so.
// The parameter is what the sink asks for: BGR at the input's size is a passthrough that the
// size change has to leave.
class TransferRenegotiation : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { transfer::RegisterStatic(); }
  void SetUp() override {
    const std::string description =
        "videotestsrc pattern=ball ! video/x-raw,format=BGR,width=640,height=480,framerate=30/1 "
        "! ostreltransfer name=tf ! " +
        GetParam() + "appsink name=out sync=false max-buffers=1";
    pipeline_ = gst_parse_launch(description.c_str(), nullptr);
    ASSERT_NE(pipeline_, nullptr);
    transfer_ = gst_bin_get_by_name(GST_BIN(pipeline_), "tf");
    sink_ = gst_bin_get_by_name(GST_BIN(pipeline_), "out");
    ASSERT_NE(gst_element_set_state(pipeline_, GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
  }
  void TearDown() override {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(sink_);
    gst_object_unref(transfer_);
    gst_object_unref(pipeline_);
  }
  // Pulls frames until one has the size (a few may still be on their way at the old one).
  bool ReachesSize(int width, int height) {
    for (int i = 0; i < 30; ++i) {
      GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), 5 * GST_SECOND);
      if (!sample) return false;
      const PackedFrame frame = Unpack(sample);
      gst_sample_unref(sample);
      if (frame.width == width && frame.height == height) return true;
    }
    return false;
  }
  // The size the media layer reads back after the property page closes.
  std::string SrcPadSize() {
    GstPad* pad = gst_element_get_static_pad(transfer_, "src");
    GstCaps* caps = gst_pad_get_current_caps(pad);
    gst_object_unref(pad);
    if (!caps) return "none";
    int width = 0, height = 0;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    gst_structure_get_int(s, "width", &width);
    gst_structure_get_int(s, "height", &height);
    gst_caps_unref(caps);
    return std::to_string(width) + "x" + std::to_string(height);
  }
  GstElement* pipeline_ = nullptr;
  GstElement* transfer_ = nullptr;
  GstElement* sink_ = nullptr;
};

TEST_P(TransferRenegotiation, SizeChangedWhilePlayingReachesTheOutputCaps) {
  ASSERT_TRUE(ReachesSize(640, 480));
  EXPECT_EQ(SrcPadSize(), "640x480");

  g_object_set(transfer_, "output-width", 320u, "output-height", 240u, nullptr);
  ASSERT_TRUE(ReachesSize(320, 240));
  EXPECT_EQ(SrcPadSize(), "320x240");

  g_object_set(transfer_, "output-width", 1280u, "output-height", 960u, nullptr);
  ASSERT_TRUE(ReachesSize(1280, 960));
  EXPECT_EQ(SrcPadSize(), "1280x960");

  g_object_set(transfer_, "output-width", 0u, "output-height", 0u, nullptr);
  ASSERT_TRUE(ReachesSize(640, 480));
  EXPECT_EQ(SrcPadSize(), "640x480");
}

INSTANTIATE_TEST_SUITE_P(Sinks, TransferRenegotiation,
                         ::testing::Values(std::string(), std::string("video/x-raw,format=BGR ! ")),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return std::string(info.param.empty() ? "AnyFormat" : "Bgr");
                         });

}  // namespace
}  // namespace transfer_test
