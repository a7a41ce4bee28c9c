// Helpers for the virtual camera tests, and an independent reader for its frame counter.
#include "pipeline_helpers.h"

#include <gst/video/video.h>

#include <algorithm>

namespace vctest {

Pipeline::Pipeline(const std::string& description) {
  GError* error = nullptr;
  pipeline_ = gst_parse_launch(description.c_str(), &error);
  if (error) {
    parseError_ = error->message;
    g_error_free(error);
  }
}

Pipeline::~Pipeline() {
  if (!pipeline_) return;
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  gst_object_unref(pipeline_);
}

GstElement* Pipeline::byName(const char* name) const {
  GstElement* e = gst_bin_get_by_name(GST_BIN(pipeline_), name);
  if (e) gst_object_unref(e);  // the pipeline keeps it alive
  return e;
}

GstStateChangeReturn Pipeline::play() {
  return gst_element_set_state(pipeline_, GST_STATE_PLAYING);
}

std::string Pipeline::waitForError(int timeoutMs) {
  GstBus* bus = gst_element_get_bus(pipeline_);
  GstMessage* msg = gst_bus_timed_pop_filtered(
      bus, static_cast<GstClockTime>(timeoutMs) * GST_MSECOND, GST_MESSAGE_ERROR);
  gst_object_unref(bus);
  if (!msg) return "";
  GError* error = nullptr;
  gst_message_parse_error(msg, &error, nullptr);
  std::string text = error ? error->message : "error";
  if (error) g_error_free(error);
  gst_message_unref(msg);
  return text;
}

GstSample* Pull(GstElement* appsink, int timeoutMs) {
  return gst_app_sink_try_pull_sample(GST_APP_SINK(appsink),
                                      static_cast<GstClockTime>(timeoutMs) * GST_MSECOND);
}

namespace {

// The camera's 5x7 digits, one row per byte, bit 4 leftmost.
const unsigned char kGlyphs[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

}  // namespace

long ReadCounter(GstSample* sample) {
  GstVideoInfo info;
  if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
      GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_GRAY8) {
    return -1;
  }
  GstVideoFrame frame;
  if (!gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) return -1;
  const auto* data = static_cast<const unsigned char*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
  const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
  const int s = std::max(2, GST_VIDEO_INFO_HEIGHT(&info) / 100);
  long value = 0;
  for (int d = 0; d < 6 && value >= 0; ++d) {
    int found = -1;
    unsigned char rows[7] = {};
    for (int row = 0; row < 7; ++row) {
      for (int col = 0; col < 5; ++col) {
        // Sample the middle of each cell of the digit's grid.
        const int x = 3 * s + d * 6 * s + col * s + s / 2, y = 3 * s + row * s + s / 2;
        if (data[y * stride + x] > 128) rows[row] |= 0x10 >> col;
      }
    }
    for (int g = 0; g < 10; ++g) {
      if (std::equal(rows, rows + 7, kGlyphs[g])) found = g;
    }
    value = found < 0 ? -1 : value * 10 + found;
  }
  gst_video_frame_unmap(&frame);
  return value;
}

}  // namespace vctest
