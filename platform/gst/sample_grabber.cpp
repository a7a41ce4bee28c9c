// The sample grabber: a pass-through filter that restricts its input type, keeps the
// last frame it saw and hands frames to a callback on the streaming thread.
#include <gst/video/video.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "platform/gst/caps_mapping.h"
#include "platform/gst/stock_filters.h"

namespace media::gst {
namespace {

// A compressed frame (MJPG) decoded into raw video by a pipeline of its own, so that the
// converter, which takes raw video only, can take it; null when it cannot be decoded.
GstSample* DecodeSample(GstSample* sample) {
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(
      "appsrc name=in ! decodebin ! videoconvert ! appsink name=out sync=false", &error);
  g_clear_error(&error);  // a warning when the pipeline was made
  if (!pipeline) return nullptr;
  GstElement* in = gst_bin_get_by_name(GST_BIN(pipeline), "in");
  GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
  g_object_set(in, "caps", gst_sample_get_caps(sample), "format", GST_FORMAT_TIME, nullptr);
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstFlowReturn pushed = GST_FLOW_ERROR;
  g_signal_emit_by_name(in, "push-sample", sample, &pushed);
  g_signal_emit_by_name(in, "end-of-stream", &pushed);
  GstSample* decoded = nullptr;
  g_signal_emit_by_name(out, "try-pull-sample", static_cast<GstClockTime>(2 * GST_SECOND),
                        &decoded);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(in);
  gst_object_unref(out);
  gst_object_unref(pipeline);
  return decoded;
}

class GrabberFilter;

class Grabber : public SampleGrabber {
 public:
  explicit Grabber(std::shared_ptr<GrabberFilter> f) : filter_(std::move(f)) {}
  Status SetMediaType(const MediaType& type) override;
  Status SetBufferSamples(bool on) override;
  Status SetOneShot(bool on) override;
  Status SetCallback(SampleGrabberCallback* callback, int which) override;
  Status GetConnectedMediaType(MediaType& type) override;
  Status GetCurrentBuffer(long& size, uint8_t* buffer) override;
  Status SetKeptType(const MediaType& type) override;

 private:
  std::shared_ptr<GrabberFilter> filter_;
};

class GrabberFilter : public GstFilter {
 public:
  GrabberFilter(GstElement* bin, GstElement* constraint)
      : GstFilter(clsid::kSampleGrabber, bin), constraint_(constraint) {}
  ~GrabberFilter() override { ForgetLast(); }
  GrabberFilter(const GrabberFilter&) = delete;
  GrabberFilter& operator=(const GrabberFilter&) = delete;

  std::shared_ptr<SampleGrabber> GetSampleGrabber() override {
    return std::make_shared<Grabber>(std::static_pointer_cast<GrabberFilter>(shared_from_this()));
  }

  void Init() {
    GstPad* sink = gst_element_get_static_pad(constraint_, "sink");
    GstPad* src = gst_element_get_static_pad(constraint_, "src");
    input_ = AddPin("Input", sink, PinDirection::Input, PinCategory::None, MajorType::Any);
    AddPin("Output", src, PinDirection::Output, PinCategory::None, MajorType::Any);
    gst_pad_add_probe(src, GST_PAD_PROBE_TYPE_BUFFER, OnBuffer, this, nullptr);
    gst_pad_add_probe(src,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      OnEvent, this, nullptr);
    gst_object_unref(sink);
    gst_object_unref(src);
  }

  Status SetType(const MediaType& type) {
    GstCaps* caps = CapsForSubtype(type);
    if (!caps && type.major != MajorType::None) return kInvalidArgument;
    g_object_set(constraint_, "caps", caps ? caps : gst_caps_new_any(), nullptr);
    if (caps) gst_caps_unref(caps);
    std::lock_guard<std::mutex> lock(mutex_);
    rgb24_ = type.subtype == Subtype::RGB24;
    return kOk;
  }
  void SetBuffering(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    buffering_ = on;
  }
  void SetOneShot(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    oneShot_ = on;
    shotTaken_ = false;
  }
  void SetCallback(SampleGrabberCallback* cb) {
    std::lock_guard<std::mutex> lock(mutex_);
    callback_ = cb;
  }
  // Frames pass as they are; the kept one is converted to RGB24 when it is asked for.
  Status KeepAs(const MediaType& type) {
    if (type.subtype != Subtype::RGB24) return kNotImplemented;
    g_object_set(constraint_, "caps", gst_caps_new_any(), nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    keepRgb24_ = true;
    return kOk;
  }
  Status ConnectedType(MediaType& type) {
    if (!gst_pad_is_linked(input_->Pad())) return kFail;  // not connected
    if (!input_->CurrentMediaType(type)) return kFail;
    // RGB frames leave the grabber bottom-up: a positive height, as in a bitmap.
    if (type.height < 0) type.height = -type.height;
    return kOk;
  }
  // The last frame that passed, also one from before buffering was switched on: a camera
  // at a low rate may send none within the snapshot's short wait.
  Status CurrentBuffer(long& size, uint8_t* buffer) {
    if (keepRgb24_) ConvertLast();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!buffering_ || !last_) return kFail;
    if (!keepRgb24_ && keptFrom_ != lastNumber_) {
      Copy(last_, lastCaps_, rgb24_, kept_);
      keptFrom_ = lastNumber_;
    }
    if (kept_.empty()) return kFail;
    if (!buffer) {
      size = static_cast<long>(kept_.size());
      return kOk;
    }
    if (size < static_cast<long>(kept_.size())) return kInvalidArgument;
    std::memcpy(buffer, kept_.data(), kept_.size());
    size = static_cast<long>(kept_.size());
    return kOk;
  }

 private:
  // The frame as the program reads it: RGB24 bottom-up with rows padded to four bytes.
  static void Copy(GstBuffer* buffer, GstCaps* caps, bool rgb24, std::vector<uint8_t>& out) {
    GstVideoInfo info;
    if (rgb24 && caps && gst_video_info_from_caps(&info, caps)) {
      GstVideoFrame frame;
      if (gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) {
        const int w = GST_VIDEO_INFO_WIDTH(&info);
        const int h = GST_VIDEO_INFO_HEIGHT(&info);
        const size_t row = static_cast<size_t>(w) * 3;
        const size_t stride = (row + 3) & ~size_t{3};
        // Same size as the last frame: the buffer is reused and its padding is still zero.
        if (out.size() != stride * h) out.assign(stride * h, 0);
        const int srcStride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
        const auto* src = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
        for (int y = 0; y < h; ++y)
          std::memcpy(out.data() + stride * (h - 1 - y), src + static_cast<size_t>(srcStride) * y,
                      row);
        gst_video_frame_unmap(&frame);
        return;
      }
    }
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
    out.assign(map.data, map.data + map.size);
    gst_buffer_unmap(buffer, &map);
  }

  // The last frame in whatever type it passed, converted to RGB24 outside the lock so
  // that the stream into the clip does not wait for it.
  void ConvertLast() {
    GstSample* sample = nullptr;
    uint64_t number = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!buffering_ || !last_ || keptFrom_ == lastNumber_) return;
      sample = gst_sample_new(last_, lastCaps_, nullptr, nullptr);
      number = lastNumber_;
    }
    GstCaps* from = gst_sample_get_caps(sample);
    const GstStructure* s = from ? gst_caps_get_structure(from, 0) : nullptr;
    if (s && !gst_structure_has_name(s, "video/x-raw")) {
      GstSample* decoded = DecodeSample(sample);
      gst_sample_unref(sample);
      sample = decoded;
      if (!sample) {
        g_printerr("ostrel: a frame of the clip could not be decoded for the snapshot\n");
        return;
      }
      from = gst_sample_get_caps(sample);
      s = from ? gst_caps_get_structure(from, 0) : nullptr;
    }
    int width = 0;
    int height = 0;
    GstSample* converted = nullptr;
    if (s && gst_structure_get_int(s, "width", &width) &&
        gst_structure_get_int(s, "height", &height)) {
      GstCaps* to = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGR", "width",
                                        G_TYPE_INT, width, "height", G_TYPE_INT, height,
                                        "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
      GError* error = nullptr;
      converted = gst_video_convert_sample(sample, to, 2 * GST_SECOND, &error);
      if (error) {
        g_printerr("ostrel: a frame of the clip could not be converted for the snapshot: %s\n",
                   error->message);
        g_error_free(error);
      }
      gst_caps_unref(to);
    }
    gst_sample_unref(sample);
    if (!converted) return;
    std::vector<uint8_t> frame;
    Copy(gst_sample_get_buffer(converted), gst_sample_get_caps(converted), true, frame);
    gst_sample_unref(converted);
    std::lock_guard<std::mutex> lock(mutex_);
    kept_ = std::move(frame);
    keptFrom_ = number;
  }

  void ForgetLast() {
    if (last_) gst_buffer_unref(last_);
    if (lastCaps_) gst_caps_unref(lastCaps_);
    last_ = nullptr;
    lastCaps_ = nullptr;
  }

  // A stream that ends gives its frame back: a camera cannot change its format while
  // one of its buffers is still held.
  static GstPadProbeReturn OnEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* self = static_cast<GrabberFilter*>(data);
    const GstEventType type = GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info));
    if (type == GST_EVENT_EOS || type == GST_EVENT_FLUSH_START) {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->ForgetLast();
    }
    return GST_PAD_PROBE_OK;
  }

  static GstPadProbeReturn OnBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    auto* self = static_cast<GrabberFilter*>(data);
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    std::lock_guard<std::mutex> lock(self->mutex_);
    if (self->oneShot_ && self->shotTaken_) return GST_PAD_PROBE_DROP;
    self->shotTaken_ = true;
    // Only a reference: the frame is converted when someone asks for it.
    self->ForgetLast();
    self->last_ = gst_buffer_ref(buffer);
    self->lastCaps_ = gst_pad_get_current_caps(pad);
    ++self->lastNumber_;
    if (self->callback_) {
      Copy(buffer, self->lastCaps_, self->rgb24_, self->scratch_);
      const double time = GST_BUFFER_PTS_IS_VALID(buffer)
                              ? static_cast<double>(GST_BUFFER_PTS(buffer)) / GST_SECOND
                              : 0.0;
      self->callback_->BufferCB(time, self->scratch_.data(),
                                static_cast<long>(self->scratch_.size()));
    }
    return GST_PAD_PROBE_OK;
  }

  GstElement* constraint_;
  std::shared_ptr<GstPin> input_;
  std::mutex mutex_;
  bool rgb24_ = false;
  bool keepRgb24_ = false;  // set once, before the graph runs
  bool buffering_ = false;
  bool oneShot_ = false;
  bool shotTaken_ = false;
  SampleGrabberCallback* callback_ = nullptr;
  GstBuffer* last_ = nullptr;
  GstCaps* lastCaps_ = nullptr;
  uint64_t lastNumber_ = 0;  // frames seen
  uint64_t keptFrom_ = 0;    // the frame kept_ was converted from
  std::vector<uint8_t> kept_;
  std::vector<uint8_t> scratch_;
};

Status Grabber::SetMediaType(const MediaType& type) { return filter_->SetType(type); }
Status Grabber::SetBufferSamples(bool on) {
  filter_->SetBuffering(on);
  return kOk;
}
Status Grabber::SetOneShot(bool on) {
  filter_->SetOneShot(on);
  return kOk;
}
Status Grabber::SetCallback(SampleGrabberCallback* callback, int which) {
  if (callback && which != 1) return kNotImplemented;
  filter_->SetCallback(callback);
  return kOk;
}
Status Grabber::GetConnectedMediaType(MediaType& type) { return filter_->ConnectedType(type); }
Status Grabber::SetKeptType(const MediaType& type) { return filter_->KeepAs(type); }
Status Grabber::GetCurrentBuffer(long& size, uint8_t* buffer) {
  return filter_->CurrentBuffer(size, buffer);
}

}  // namespace

std::shared_ptr<GstFilter> MakeSampleGrabber() {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* constraint = gst_element_factory_make("capsfilter", "constraint");
  gst_bin_add(GST_BIN(bin), constraint);
  auto filter = std::make_shared<GrabberFilter>(bin, constraint);
  filter->Init();
  return filter;
}

}  // namespace media::gst
