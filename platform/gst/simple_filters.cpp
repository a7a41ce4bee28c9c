// Smart tee and null renderer.
#include <atomic>
#include <memory>

#include "platform/gst/stock_filters.h"

namespace media::gst {
namespace {

GstPad* StaticPad(GstElement* e, const char* name) { return gst_element_get_static_pad(e, name); }

GstPadProbeReturn DropUnlessLinked(GstPad*, GstPadProbeInfo*, gpointer ghost) {
  return gst_pad_is_linked(GST_PAD(ghost)) ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
}

// Frames for an output with nothing connected stop at the tee, so that output's queue
// thread never wakes for them (the preview graph leaves the capture output open).
void DropAtTeeUnlessLinked(GstElement* queue, GstPad* ghost) {
  GstPad* sink = StaticPad(queue, "sink");
  if (GstPad* teeSrc = gst_pad_get_peer(sink)) {
    gst_pad_add_probe(
        teeSrc,
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
        DropUnlessLinked, ghost, nullptr);
    gst_object_unref(teeSrc);
  }
  gst_object_unref(sink);
}

// What the capture output may hold for a writer that is behind: two seconds of frames,
// and never more than 128 MiB (about a second of raw 1080p). A stop finishes them all.
constexpr guint64 kCaptureBacklogTime = 2 * GST_SECOND;
constexpr guint kCaptureBacklogBytes = 128u << 20;

// A writer that cannot keep up with the camera must neither stall the camera and the
// preview nor make the stop wait without end: past the backlog the capture output
// leaves new frames out, and counts them so that the recording can say so.
struct CaptureBacklog {
  GstElement* queue = nullptr;  // the capture output's queue (the bin holds it)
  std::atomic<int64_t> dropped{0};
};

GstPadProbeReturn KeepBacklog(GstPad*, GstPadProbeInfo*, gpointer data) {
  auto& backlog = **static_cast<std::shared_ptr<CaptureBacklog>*>(data);
  guint64 time = 0;
  guint bytes = 0;
  g_object_get(backlog.queue, "current-level-time", &time, "current-level-bytes", &bytes, nullptr);
  if (time < kCaptureBacklogTime && bytes < kCaptureBacklogBytes) return GST_PAD_PROBE_OK;
  ++backlog.dropped;
  return GST_PAD_PROBE_DROP;
}

class SmartTeeFilter : public GstFilter {
 public:
  SmartTeeFilter(GstElement* bin, GstElement* captureQueue)
      : GstFilter(clsid::kSmartTee, bin), backlog_(std::make_shared<CaptureBacklog>()) {
    backlog_->queue = captureQueue;
    GstPad* in = StaticPad(captureQueue, "sink");
    gst_pad_add_probe(in, GST_PAD_PROBE_TYPE_BUFFER, KeepBacklog,
                      new std::shared_ptr<CaptureBacklog>(backlog_),
                      [](gpointer p) { delete static_cast<std::shared_ptr<CaptureBacklog>*>(p); });
    gst_object_unref(in);
  }
  int64_t TakeDroppedFrames() override { return backlog_->dropped.exchange(0); }

 private:
  std::shared_ptr<CaptureBacklog> backlog_;
};

}  // namespace

std::shared_ptr<GstFilter> MakeSmartTee() {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* tee = gst_element_factory_make("tee", "tee");
  g_object_set(tee, "allow-not-linked", TRUE, nullptr);
  // The capture output holds what comes after it has not yet taken, up to its backlog
  // (the probe keeps it there); the preview output drops the late frames.
  GstElement* capture = gst_element_factory_make("queue", "capture");
  g_object_set(capture, "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time",
               static_cast<guint64>(0), nullptr);
  GstElement* preview = gst_element_factory_make("queue", "preview");
  g_object_set(preview, "leaky", 2, "max-size-buffers", 2u, "max-size-bytes", 0u, "max-size-time",
               static_cast<guint64>(0), nullptr);
  gst_bin_add_many(GST_BIN(bin), tee, capture, preview, nullptr);
  gst_element_link(tee, capture);
  gst_element_link(tee, preview);
  auto filter = std::make_shared<SmartTeeFilter>(bin, capture);
  GstPad* in = StaticPad(tee, "sink");
  GstPad* cap = StaticPad(capture, "src");
  GstPad* pre = StaticPad(preview, "src");
  filter->AddPin("Input", in, PinDirection::Input, PinCategory::None, MajorType::Video);
  auto capturePin =
      filter->AddPin("Capture", cap, PinDirection::Output, PinCategory::Capture, MajorType::Video);
  auto previewPin =
      filter->AddPin("Preview", pre, PinDirection::Output, PinCategory::Preview, MajorType::Video);
  DropAtTeeUnlessLinked(capture, capturePin->Pad());
  DropAtTeeUnlessLinked(preview, previewPin->Pad());
  gst_object_unref(in);
  gst_object_unref(cap);
  gst_object_unref(pre);
  return filter;
}

std::shared_ptr<GstFilter> MakeNullRenderer() {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* sink = gst_element_factory_make("fakesink", "sink");
  g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
  gst_bin_add(GST_BIN(bin), sink);
  auto filter = std::make_shared<GstFilter>(clsid::kNullRenderer, bin);
  GstPad* in = StaticPad(sink, "sink");
  filter->AddPin("In", in, PinDirection::Input, PinCategory::None, MajorType::Any);
  gst_object_unref(in);
  return filter;
}

}  // namespace media::gst
