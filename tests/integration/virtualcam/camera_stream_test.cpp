// Every format of the virtual camera negotiates and delivers moving, numbered frames.
#include <gtest/gtest.h>

#include <gst/video/video.h>

#include <cstring>
#include <string>

#include "pipeline_helpers.h"
#include "virtual_devices.h"

namespace {

using vctest::Pipeline;
using vctest::Pull;
using vctest::ReadCounter;

std::string CapsFor(const virtualcam::Format& f) {
  if (f.fourcc == "MJPG") {
    return "image/jpeg,width=" + std::to_string(f.width) + ",height=" + std::to_string(f.height);
  }
  const std::string raw = f.fourcc == "RGB24" ? "BGR" : f.fourcc == "RGB32" ? "BGRx" : f.fourcc;
  return "video/x-raw,format=" + raw + ",width=" + std::to_string(f.width) +
         ",height=" + std::to_string(f.height);
}

// The camera's frames, decoded to grey, in an appsink named "out".
std::string GreyPipeline(const std::string& caps, bool jpeg) {
  return "ostrelvirtualcamsrc name=cam ! " + caps + (jpeg ? " ! jpegdec" : "") +
         " ! videoconvert ! video/x-raw,format=GRAY8 ! appsink name=out sync=false max-buffers=8";
}

// True when the lower part of the two grey frames (below the counter) differs.
bool LowerPartDiffers(GstSample* a, GstSample* b) {
  GstMapInfo ma, mb;
  gst_buffer_map(gst_sample_get_buffer(a), &ma, GST_MAP_READ);
  gst_buffer_map(gst_sample_get_buffer(b), &mb, GST_MAP_READ);
  const size_t from = ma.size / 4;
  const bool differs =
      ma.size == mb.size && std::memcmp(ma.data + from, mb.data + from, ma.size - from) != 0;
  gst_buffer_unmap(gst_sample_get_buffer(a), &ma);
  gst_buffer_unmap(gst_sample_get_buffer(b), &mb);
  return differs;
}

TEST(VirtualCameraStream, EveryDefaultFormatDeliversMovingNumberedFramesAtItsRate) {
  virtualcam::Configure({virtualcam::CameraSpec{}}, {});
  for (const auto& f : virtualcam::DefaultFormats()) {
    SCOPED_TRACE(f.fourcc + " " + std::to_string(f.width) + "x" + std::to_string(f.height));
    Pipeline p(GreyPipeline(CapsFor(f), f.fourcc == "MJPG"));
    ASSERT_EQ(p.parseError(), "");
    ASSERT_NE(p.play(), GST_STATE_CHANGE_FAILURE);
    GstSample* first = Pull(p.byName("out"), 3000);
    GstSample* second = Pull(p.byName("out"), 3000);
    GstSample* third = Pull(p.byName("out"), 3000);
    ASSERT_TRUE(first && second && third);
    const long c0 = ReadCounter(first);
    EXPECT_GE(c0, 0);
    EXPECT_EQ(ReadCounter(second), c0 + 1);
    EXPECT_EQ(ReadCounter(third), c0 + 2);
    if (f.fourcc != "MJPG") {  // jpegdec does not keep offsets
      EXPECT_EQ(static_cast<long>(GST_BUFFER_OFFSET(gst_sample_get_buffer(first))), c0);
    }
    EXPECT_TRUE(LowerPartDiffers(first, third)) << "the ball should move";

    // Without a rate in the request, the camera runs the format at its own rate.
    GstPad* src = gst_element_get_static_pad(p.byName("cam"), "src");
    GstCaps* caps = gst_pad_get_current_caps(src);
    ASSERT_NE(caps, nullptr);
    int n = 0, d = 0;
    gst_structure_get_fraction(gst_caps_get_structure(caps, 0), "framerate", &n, &d);
    EXPECT_EQ(n, f.fps);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(GST_BUFFER_DURATION(gst_sample_get_buffer(first)), GST_SECOND / f.fps);
    gst_caps_unref(caps);
    gst_object_unref(src);
    for (GstSample* s : {first, second, third}) gst_sample_unref(s);
  }
}

TEST(VirtualCameraStream, UnconstrainedNegotiationPicksTheFirstFormat) {
  virtualcam::CameraSpec spec;
  spec.formats = {{"UYVY", 320, 240, 15}, {"YUY2", 640, 480, 30}};
  virtualcam::Configure({spec}, {});
  Pipeline p("ostrelvirtualcamsrc name=cam ! appsink name=out sync=false");
  ASSERT_NE(p.play(), GST_STATE_CHANGE_FAILURE);
  GstSample* s = Pull(p.byName("out"), 3000);
  ASSERT_NE(s, nullptr);
  GstVideoInfo info;
  ASSERT_TRUE(gst_video_info_from_caps(&info, gst_sample_get_caps(s)));
  EXPECT_EQ(GST_VIDEO_INFO_FORMAT(&info), GST_VIDEO_FORMAT_UYVY);
  EXPECT_EQ(GST_VIDEO_INFO_WIDTH(&info), 320);
  EXPECT_EQ(GST_VIDEO_INFO_FPS_N(&info), 15);
  gst_sample_unref(s);
}

TEST(VirtualCameraStream, AnyRateUpTo60UnlessTheCameraRefusesRates) {
  virtualcam::CameraSpec open, refusing;
  refusing.refusesFrameRate = true;
  virtualcam::Configure({open, refusing}, {});
  {
    Pipeline p(
        "ostrelvirtualcamsrc ! video/x-raw,format=YUY2,width=640,framerate=60/1 ! "
        "appsink name=out sync=false");
    ASSERT_NE(p.play(), GST_STATE_CHANGE_FAILURE);
    GstSample* s = Pull(p.byName("out"), 3000);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(GST_BUFFER_DURATION(gst_sample_get_buffer(s)), GST_SECOND / 60);
    gst_sample_unref(s);
  }
  {
    Pipeline p(
        "ostrelvirtualcamsrc camera-index=1 ! video/x-raw,format=YUY2,width=640,"
        "framerate=60/1 ! appsink name=out sync=false");
    p.play();
    EXPECT_NE(p.waitForError(3000), "");
  }
  {
    Pipeline p(
        "ostrelvirtualcamsrc camera-index=1 ! video/x-raw,format=YUY2,width=640,"
        "framerate=30/1 ! appsink name=out sync=false");
    ASSERT_NE(p.play(), GST_STATE_CHANGE_FAILURE);
    GstSample* s = Pull(p.byName("out"), 3000);
    EXPECT_NE(s, nullptr);
    if (s) gst_sample_unref(s);
  }
}

TEST(VirtualCameraStream, ACameraThatRefusesFormatsOffersOnlyItsFirst) {
  virtualcam::CameraSpec spec;
  spec.refusesFormat = true;
  virtualcam::Configure({spec}, {});
  GstElement* cam = gst_element_factory_make("ostrelvirtualcamsrc", nullptr);
  ASSERT_NE(cam, nullptr);
  GstPad* src = gst_element_get_static_pad(cam, "src");
  GstCaps* caps = gst_pad_query_caps(src, nullptr);
  EXPECT_EQ(gst_caps_get_size(caps), 1u);
  gst_caps_unref(caps);
  gst_object_unref(src);
  gst_object_unref(gst_object_ref_sink(cam));

  Pipeline p("ostrelvirtualcamsrc ! image/jpeg ! appsink name=out sync=false");
  p.play();
  EXPECT_NE(p.waitForError(3000), "");
}

}  // namespace
