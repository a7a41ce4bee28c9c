// Test helpers: runs BGR test video through ostreltransfer and reads frames back packed.
#include "transfer_pipeline.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <cstring>

#include "plugins/transfer/frame_scaler.h"
#include "still/resample.h"

namespace transfer_test {

PackedFrame Unpack(GstSample* sample) {
  PackedFrame frame;
  GstVideoInfo info;
  if (!sample || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) return frame;
  GstVideoFrame mapped;
  if (!gst_video_frame_map(&mapped, &info, gst_sample_get_buffer(sample), GST_MAP_READ))
    return frame;
  frame.width = GST_VIDEO_INFO_WIDTH(&info);
  frame.height = GST_VIDEO_INFO_HEIGHT(&info);
  frame.format = GST_VIDEO_INFO_NAME(&info);
  frame.bytesPerPixel = GST_VIDEO_INFO_COMP_PSTRIDE(&info, 0);
  const size_t row = size_t(frame.width) * frame.bytesPerPixel;
  frame.bytes.resize(row * frame.height);
  const auto* data = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped, 0));
  const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped, 0);
  for (int y = 0; y < frame.height; ++y)
    std::memcpy(frame.bytes.data() + y * row, data + size_t(y) * stride, row);
  gst_video_frame_unmap(&mapped);
  return frame;
}

FramePair RunOneFrame(int width, int height, unsigned outWidth, unsigned outHeight,
                      const std::string& outFormat, const char* pattern) {
  const std::string outCaps = outFormat.empty() ? "" : "video/x-raw,format=" + outFormat + " ! ";
  const std::string description =
      "videotestsrc num-buffers=1 pattern=" + std::string(pattern) +
      " ! video/x-raw,format=BGR,width=" + std::to_string(width) +
      ",height=" + std::to_string(height) +
      ",framerate=30/1 ! tee name=t t. ! queue ! appsink name=in sync=false "
      "t. ! queue ! ostreltransfer output-width=" +
      std::to_string(outWidth) + " output-height=" + std::to_string(outHeight) + " ! " + outCaps +
      "appsink name=out sync=false";
  FramePair pair;
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (!pipeline) {
    g_printerr("%s\n", error ? error->message : "no pipeline");
    g_clear_error(&error);
    return pair;
  }
  GstElement* in = gst_bin_get_by_name(GST_BIN(pipeline), "in");
  GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstSample* inSample = gst_app_sink_try_pull_sample(GST_APP_SINK(in), 5 * GST_SECOND);
  GstSample* outSample = gst_app_sink_try_pull_sample(GST_APP_SINK(out), 5 * GST_SECOND);
  pair.in = Unpack(inSample);
  pair.out = Unpack(outSample);
  pair.sameBuffer =
      inSample && outSample && gst_sample_get_buffer(inSample) == gst_sample_get_buffer(outSample);
  if (inSample) gst_sample_unref(inSample);
  if (outSample) gst_sample_unref(outSample);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(in);
  gst_object_unref(out);
  gst_object_unref(pipeline);
  return pair;
}

std::vector<uint8_t> Resampled(const PackedFrame& in, int outWidth, int outHeight) {
  std::vector<uint8_t> out(size_t(outWidth) * outHeight * 3);
  ostrel::still::ResampleRGB24(out.data(), in.bytes.data(), in.width, in.height, outWidth,
                               outHeight);
  return out;
}

std::vector<uint8_t> Letterboxed(const PackedFrame& in, int outWidth, int outHeight) {
  uint32_t w = 0;
  uint32_t h = 0;
  transfer::FrameScaler::FitInside(in.width, in.height, outWidth, outHeight, w, h);
  const std::vector<uint8_t> picture = Resampled(in, int(w), int(h));
  std::vector<uint8_t> out(size_t(outWidth) * outHeight * 3, 0);
  const size_t left = (outWidth - w) / 2;
  const size_t top = (outHeight - h) / 2;
  for (size_t y = 0; y < h; ++y)
    std::memcpy(&out[((top + y) * outWidth + left) * 3], &picture[y * w * 3], size_t(w) * 3);
  return out;
}

std::vector<uint8_t> DropPadding(const PackedFrame& bgrx, bool* padIsOpaque) {
  std::vector<uint8_t> bgr;
  bgr.reserve(bgrx.bytes.size() / 4 * 3);
  *padIsOpaque = true;
  for (size_t i = 0; i + 3 < bgrx.bytes.size(); i += 4) {
    bgr.insert(bgr.end(), bgrx.bytes.begin() + i, bgrx.bytes.begin() + i + 3);
    *padIsOpaque = *padIsOpaque && bgrx.bytes[i + 3] == 0xFF;
  }
  return bgr;
}

}  // namespace transfer_test
