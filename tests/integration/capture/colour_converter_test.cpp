// The colour space converter gives exactly what videoconvert gives (for limited-range YUV:
// its route through 16 bits per channel), whichever way it gets there.
#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/gst/colour_converter.h"
#include "platform/gst/yuv_to_bgr_rows.h"

namespace {

struct ConverterCase {
  const char* format;
  const char* colorimetry;  // and chroma site, as a camera's caps carry them
  const char* output;
  int width, height;
  bool sweep;  // every Y, U and V value side by side, instead of noise
};

void PrintTo(const ConverterCase& c, std::ostream* os) {
  *os << c.format << " " << c.colorimetry << " -> " << c.output << " " << c.width << "x"
      << c.height;
}

// One frame through a pipeline: appsrc ! middle ! appsink(output); the output's bytes.
std::vector<uint8_t> Convert(GstCaps* in, const std::vector<uint8_t>& frame, GstElement* middle,
                             const char* output, GstCaps*& outCaps) {
  GstElement* pipe = gst_pipeline_new(nullptr);
  GstElement* src = gst_element_factory_make("appsrc", nullptr);
  GstElement* sink = gst_element_factory_make("appsink", nullptr);
  g_object_set(src, "caps", in, "format", GST_FORMAT_TIME, nullptr);
  GstCaps* sinkCaps = gst_caps_from_string((std::string("video/x-raw,format=") + output).c_str());
  g_object_set(sink, "caps", sinkCaps, "sync", FALSE, nullptr);
  gst_caps_unref(sinkCaps);
  gst_bin_add_many(GST_BIN(pipe), src, middle, sink, nullptr);
  std::vector<uint8_t> out;
  if (!gst_element_link_many(src, middle, sink, nullptr)) {
    ADD_FAILURE() << "cannot link";
    gst_object_unref(pipe);
    return out;
  }
  gst_element_set_state(pipe, GST_STATE_PLAYING);
  gst_app_src_push_buffer(GST_APP_SRC(src), gst_buffer_new_memdup(frame.data(), frame.size()));
  gst_app_src_end_of_stream(GST_APP_SRC(src));
  GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 20 * GST_SECOND);
  if (sample) {
    GstVideoInfo info;
    gst_video_info_from_caps(&info, gst_sample_get_caps(sample));
    outCaps = gst_caps_copy(gst_sample_get_caps(sample));
    GstVideoFrame f;
    if (gst_video_frame_map(&f, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
      const size_t row = GST_VIDEO_INFO_COMP_PSTRIDE(&info, 0) * GST_VIDEO_INFO_WIDTH(&info);
      for (int y = 0; y < GST_VIDEO_INFO_HEIGHT(&info); ++y) {
        const auto* p = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&f, 0)) +
                        y * GST_VIDEO_FRAME_PLANE_STRIDE(&f, 0);
        out.insert(out.end(), p, p + row);
      }
      gst_video_frame_unmap(&f);
    }
    gst_sample_unref(sample);
  }
  gst_element_set_state(pipe, GST_STATE_NULL);
  gst_object_unref(pipe);
  return out;
}

GstElement* ThroughSixteenBits() {
  GstElement* bin = gst_parse_bin_from_description(
      "videoconvert ! video/x-raw,format=AYUV64 ! videoconvert", TRUE, nullptr);
  return bin;
}

// A frame of the input format; a sweep puts every U,V pair beside every even/odd Y pair.
std::vector<uint8_t> Frame(const GstVideoInfo& info, bool sweep) {
  std::vector<uint8_t> frame(GST_VIDEO_INFO_SIZE(&info));
  std::mt19937 noise(7);
  const int pairs = info.width / 2;
  for (int y = 0; y < info.height; ++y)
    for (int k = 0; k < pairs; ++k) {
      const uint32_t n = y * pairs + k;
      const uint8_t y0 = sweep ? (n >> 15) & 0xFE : noise();
      const uint8_t y1 = sweep ? y0 + 1 : noise();
      const uint8_t cb = sweep ? n : noise(), cr = sweep ? n >> 8 : noise();
      const uint8_t values[3][2] = {{y0, y1}, {cb, cb}, {cr, cr}};
      for (int c = 0; c < 3; ++c) {
        const int line = y >> info.finfo->h_sub[c];  // 4:2:0 shares chroma rows
        uint8_t* row = frame.data() + GST_VIDEO_INFO_COMP_OFFSET(&info, c) +
                       line * GST_VIDEO_INFO_COMP_STRIDE(&info, c);
        const int step = GST_VIDEO_INFO_COMP_PSTRIDE(&info, c);
        if (c == 0) {
          row[(2 * k) * step] = values[0][0];
          row[(2 * k + 1) * step] = values[0][1];
        } else {
          row[k * step] = values[c][0];
        }
      }
    }
  return frame;
}

class ColourConverterExact : public testing::TestWithParam<ConverterCase> {
 protected:
  void SetUp() override { gst_init(nullptr, nullptr); }
};

TEST_P(ColourConverterExact, YuvGivesTheValuesOfTheVideoconvertsItStandsFor) {
  const ConverterCase& c = GetParam();
  const std::string caps =
      std::string("video/x-raw,format=") + c.format + ",width=" + std::to_string(c.width) +
      ",height=" + std::to_string(c.height) + ",framerate=30/1," + c.colorimetry;
  GstCaps* in = gst_caps_from_string(caps.c_str());
  ASSERT_NE(in, nullptr) << caps;
  GstVideoInfo info;
  ASSERT_TRUE(gst_video_info_from_caps(&info, in));
  const std::vector<uint8_t> frame = Frame(info, c.sweep);
  GstCaps *wantCaps = nullptr, *gotCaps = nullptr;
  // Full range went through the two videoconverts alone, at 8 bits.
  const bool full = std::string(c.colorimetry).find("=1:") != std::string::npos;
  GstElement* reference =
      full ? gst_parse_bin_from_description("videoconvert ! videoconvert", TRUE, nullptr)
           : ThroughSixteenBits();
  const std::vector<uint8_t> want = Convert(in, frame, reference, c.output, wantCaps);
  GstElement* converter = media::gst::MakeColourConverter();
  ASSERT_NE(converter, nullptr);
  const std::vector<uint8_t> got = Convert(in, frame, converter, c.output, gotCaps);
  gst_caps_unref(in);
  ASSERT_FALSE(want.empty());
  ASSERT_EQ(got.size(), want.size());
  // The same caps too: what follows the converter sees no difference.
  EXPECT_TRUE(gst_caps_is_equal(gotCaps, wantCaps))
      << gst_caps_to_string(gotCaps) << " instead of " << gst_caps_to_string(wantCaps);
  gst_caps_unref(gotCaps);
  gst_caps_unref(wantCaps);
  size_t differ = 0, first = 0;
  for (size_t i = 0; i < want.size(); ++i)
    if (got[i] != want[i] && differ++ == 0) first = i;
  EXPECT_EQ(differ, 0u) << "first at byte " << first << ": " << int(got[first]) << " instead of "
                        << int(want[first]);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ColourConverterExact,
    testing::Values(
        // Every value: Y in pairs against all U,V.
        ConverterCase{"YUY2", "colorimetry=bt601", "BGR", 2048, 4096, true},
        ConverterCase{"YUY2", "colorimetry=2:4:7:1", "BGR", 640, 480, false},
        ConverterCase{"YUY2", "colorimetry=bt709,chroma-site=mpeg2", "BGRx", 1280, 8, false},
        ConverterCase{"UYVY", "colorimetry=bt601,chroma-site=jpeg", "BGR", 322, 6, false},
        ConverterCase{"YVYU", "colorimetry=bt2020", "BGRx", 34, 3, false},
        ConverterCase{"Y42B", "colorimetry=bt601", "BGR", 36, 4, false},
        ConverterCase{"NV16", "colorimetry=bt709,chroma-site=mpeg2", "BGR", 2, 2, false},
        ConverterCase{"I420", "colorimetry=bt601", "BGR", 640, 480, false},
        ConverterCase{"NV12", "colorimetry=bt709,chroma-site=mpeg2", "BGRx", 66, 4, false},
        ConverterCase{"YV12", "colorimetry=2:4:7:1", "BGR", 18, 2, false},
        // MJPG's decoded full-range frames; what stays with videoconvert: NV12, other
        // matrices, BGRx.
        ConverterCase{"Y42B", "colorimetry=1:4:0:0", "BGR", 2048, 4096, true},
        ConverterCase{"Y42B", "colorimetry=1:4:0:0,chroma-site=jpeg", "BGR", 320, 240, false},
        ConverterCase{"YUY2", "colorimetry=1:4:0:0", "BGR", 34, 4, false},
        ConverterCase{"I420", "colorimetry=1:4:0:0,chroma-site=jpeg", "BGR", 642, 480, false},
        ConverterCase{"I420", "colorimetry=1:4:0:0", "BGR", 2048, 4096, true},
        ConverterCase{"YV12", "colorimetry=1:4:0:0", "BGR", 34, 6, false},
        ConverterCase{"NV12", "colorimetry=1:4:0:0", "BGR", 64, 4, false},
        ConverterCase{"Y42B", "colorimetry=1:3:0:0", "BGR", 640, 4, false},
        ConverterCase{"I420", "colorimetry=1:4:0:0", "BGRx", 64, 16, false},
        // An odd number of rows, and a downstream that takes other formats too: the route.
        ConverterCase{"I420", "colorimetry=bt601", "BGR", 64, 5, false},
        ConverterCase{"YUY2", "colorimetry=bt601", "{ BGR, Y444 }", 64, 4, false}));

// The vector paths give the scalar arithmetic's bytes at every row length, to the row's last
// byte and not one past it.
TEST(YuvToBgrRows, EveryInstructionSetGivesTheSameBytes) {
  using media::gst::Instructions;
  std::mt19937 noise(11);
  media::gst::YuvToRgbMatrix full{};
  ASSERT_TRUE(media::gst::FullRangeMatrix(0.299, 0.114, full));
  const media::gst::YuvToRgbMatrix matrices[] = {media::gst::LimitedRangeMatrix(0.2126, 0.0722),
                                                 full};
  for (const auto& matrix : matrices)
    for (const int bytes : {3, 4})
      for (uint32_t width = 2; width <= 68; width += 2) {
        std::vector<uint8_t> yuyv(2 * width);
        for (auto& b : yuyv) b = static_cast<uint8_t>(noise());
        const media::gst::YuvRow row{yuyv.data(), 2, yuyv.data() + 1, yuyv.data() + 3, 4};
        std::vector<uint8_t> want;
        for (const Instructions widest :
             {Instructions::kScalar, Instructions::kSsse3, Instructions::kAvx2}) {
          media::gst::YuvToBgrRows rows;
          ASSERT_TRUE(
              rows.Configure(width, matrix, media::gst::ChromaSiting::kBetween, bytes, widest));
          std::vector<uint8_t> got(bytes * width + 16, 0xAA);
          rows.Convert(row, got.data());
          if (want.empty()) want = got;
          EXPECT_EQ(got, want) << "width " << width << ", " << bytes << " bytes, instructions "
                               << static_cast<int>(widest)
                               << (matrix.eightBit ? ", full range" : "");
        }
      }
}

}  // namespace
