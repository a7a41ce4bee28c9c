// The colour space converter's CPU per frame for the cameras' YUV into BGR, beside
// videoconvert's own 8-bit conversion (what a plain pipeline uses: for limited range off by
// up to five levels, for full range the values ours must equal) and videoconvert's route
// through 16 bits (the values ours must equal for limited range), in the same run,
// interleaved, medians of several rounds.
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/gst/colour_converter.h"

namespace {

constexpr int kFrames = 200;
constexpr int kRounds = 5;

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// CPU ms per frame of appsrc ! middle ! BGR ! fakesink, one prepared frame pushed kFrames
// times; middle == nullptr: no conversion at all (the cost of moving the frames).
double MsPerFrame(const std::string& caps, const std::vector<uint8_t>& frame, GstElement* middle) {
  GstElement* pipe = gst_pipeline_new(nullptr);
  GstElement* src = gst_element_factory_make("appsrc", nullptr);
  GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  GstCaps* in = gst_caps_from_string(caps.c_str());
  g_object_set(src, "caps", in, "format", GST_FORMAT_TIME, "block", TRUE, "max-bytes",
               static_cast<guint64>(frame.size() * 2), nullptr);
  gst_caps_unref(in);
  GstCaps* bgr = gst_caps_from_string(middle ? "video/x-raw,format=BGR" : "video/x-raw");
  g_object_set(filter, "caps", bgr, nullptr);
  gst_caps_unref(bgr);
  g_object_set(sink, "sync", FALSE, nullptr);
  gst_bin_add_many(GST_BIN(pipe), src, filter, sink, nullptr);
  if (middle) {
    gst_bin_add(GST_BIN(pipe), middle);
    gst_element_link_many(src, middle, filter, sink, nullptr);
  } else {
    gst_element_link_many(src, filter, sink, nullptr);
  }
  gst_element_set_state(pipe, GST_STATE_PLAYING);
  GstBuffer* buffer = gst_buffer_new_memdup(frame.data(), frame.size());
  // The first frame negotiates and builds the converters: not counted.
  gst_app_src_push_buffer(GST_APP_SRC(src), gst_buffer_ref(buffer));
  const double start = ProcessCpuSeconds();
  for (int i = 0; i < kFrames; ++i) {
    buffer = gst_buffer_make_writable(buffer);  // a copy only if still held downstream
    GST_BUFFER_PTS(buffer) = (i + 1) * GST_SECOND / 30;
    gst_app_src_push_buffer(GST_APP_SRC(src), gst_buffer_ref(buffer));
  }
  gst_app_src_end_of_stream(GST_APP_SRC(src));
  GstBus* bus = gst_element_get_bus(pipe);
  GstMessage* end = gst_bus_timed_pop_filtered(
      bus, 60 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const double used = ProcessCpuSeconds() - start;
  const bool ok = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
  if (end) gst_message_unref(end);
  gst_object_unref(bus);
  gst_buffer_unref(buffer);
  gst_element_set_state(pipe, GST_STATE_NULL);
  gst_object_unref(pipe);
  return ok ? 1000.0 * used / kFrames : -1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  gst_init(nullptr, nullptr);
  struct Case {
    const char* name;
    const char* format;
    const char* colorimetry;
    int width, height;
  };
  // The cameras' YUY2 (limited range) and what jpegdec makes of MJPG (full range, where
  // videoconvert's 8-bit values are the ones ours must equal; the 16-bit column is for show).
  const Case cases[] = {{"YUY2 640x480", "YUY2", "bt601", 640, 480},
                        {"YUY2 1280x720", "YUY2", "bt601", 1280, 720},
                        {"I420 1920x1080 f", "I420", "1:4:0:0", 1920, 1080}};
  std::printf("%-16s %10s %10s %10s %12s %12s\n", "input -> BGR", "ours ms", "8-bit ms",
              "16-bit ms", "ours/8-bit", "ours/16-bit");
  int failures = 0;
  for (const Case& c : cases) {
    const std::string caps =
        std::string("video/x-raw,format=") + c.format + ",colorimetry=" + c.colorimetry +
        ",framerate=30/1,width=" + std::to_string(c.width) + ",height=" + std::to_string(c.height);
    GstVideoInfo info;
    GstCaps* parsed = gst_caps_from_string(caps.c_str());
    gst_video_info_from_caps(&info, parsed);
    gst_caps_unref(parsed);
    std::vector<uint8_t> frame(GST_VIDEO_INFO_SIZE(&info));
    std::mt19937 noise(1);
    for (auto& b : frame) b = static_cast<uint8_t>(noise());
    std::vector<double> ours, eight, sixteen, moving;
    for (int round = 0; round < kRounds; ++round) {
      moving.push_back(MsPerFrame(caps, frame, nullptr));
      ours.push_back(MsPerFrame(caps, frame, media::gst::MakeColourConverter()));
      eight.push_back(MsPerFrame(caps, frame, gst_element_factory_make("videoconvert", nullptr)));
      sixteen.push_back(MsPerFrame(
          caps, frame,
          gst_parse_bin_from_description("videoconvert ! video/x-raw,format=AYUV64 ! videoconvert",
                                         TRUE, nullptr)));
    }
    // What moving the frames costs alone is taken off each.
    const double base = Median(moving);
    const double o = Median(ours) - base, e = Median(eight) - base, s = Median(sixteen) - base;
    if (*std::min_element(ours.begin(), ours.end()) < 0 ||
        *std::min_element(eight.begin(), eight.end()) < 0 ||
        *std::min_element(sixteen.begin(), sixteen.end()) < 0) {
      std::printf("%-16s did not run\n", c.name);
      ++failures;
      continue;
    }
    std::printf("%-16s %10.3f %10.3f %10.3f %12.2f %12.2f\n", c.name, o, e, s, o / e, o / s);
  }
  return failures == 0 ? 0 : 1;
}
