// Smart tee, null renderer and file writer.
#include "platform/gst/stock_filters.h"

namespace media::gst {
namespace {

GstPad* StaticPad(GstElement* e, const char* name) { return gst_element_get_static_pad(e, name); }

class FileWriterSink : public FileSink {
 public:
  FileWriterSink(std::shared_ptr<GstFilter> owner, GstElement* sink)
      : owner_(std::move(owner)), sink_(sink) {}
  Status SetFileName(const std::string& path) override {
    if (path.empty()) return kInvalidArgument;
    GstState state = GST_STATE_NULL;
    gst_element_get_state(sink_, &state, nullptr, 0);
    if (state > GST_STATE_READY) return kFail;  // the file is open
    g_object_set(sink_, "location", path.c_str(), nullptr);
    return kOk;
  }

 private:
  std::shared_ptr<GstFilter> owner_;
  GstElement* sink_;
};

class FileWriterFilter : public GstFilter {
 public:
  FileWriterFilter(GstElement* bin, GstElement* sink)
      : GstFilter(clsid::kFileWriter, bin), sink_(sink) {}
  std::shared_ptr<FileSink> GetFileSink() override {
    return std::make_shared<FileWriterSink>(shared_from_this(), sink_);
  }

 private:
  GstElement* sink_;
};

// The bytes a writer with a limit has taken; the limit is the probe's own.
struct WriteLimit {
  uint64_t limit = 0;
  uint64_t written = 0;
  bool full = false;
};

GstPadProbeReturn LimitWrites(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* w = static_cast<WriteLimit*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const uint64_t size = gst_buffer_get_size(buffer);
  if (!w->full && w->written + size <= w->limit) {
    w->written += size;
    return GST_PAD_PROBE_OK;
  }
  if (!w->full) {
    w->full = true;
    GstElement* sink = gst_pad_get_parent_element(pad);
    GST_ELEMENT_ERROR(sink, RESOURCE, NO_SPACE_LEFT, ("No space left on device"),
                      ("the writer is set to fail after %" G_GUINT64_FORMAT " bytes", w->limit));
    if (sink) gst_object_unref(sink);
  }
  gst_buffer_unref(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = nullptr;
  GST_PAD_PROBE_INFO_FLOW_RETURN(info) = GST_FLOW_ERROR;
  return GST_PAD_PROBE_HANDLED;
}

}  // namespace

std::shared_ptr<GstFilter> MakeSmartTee() {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* tee = gst_element_factory_make("tee", "tee");
  g_object_set(tee, "allow-not-linked", TRUE, nullptr);
  // The capture output may not lose frames; the preview output drops the late ones.
  GstElement* capture = gst_element_factory_make("queue", "capture");
  GstElement* preview = gst_element_factory_make("queue", "preview");
  g_object_set(preview, "leaky", 2, "max-size-buffers", 2u, "max-size-bytes", 0u, "max-size-time",
               static_cast<guint64>(0), nullptr);
  gst_bin_add_many(GST_BIN(bin), tee, capture, preview, nullptr);
  gst_element_link(tee, capture);
  gst_element_link(tee, preview);
  auto filter = std::make_shared<GstFilter>(clsid::kSmartTee, bin);
  GstPad* in = StaticPad(tee, "sink");
  GstPad* cap = StaticPad(capture, "src");
  GstPad* pre = StaticPad(preview, "src");
  filter->AddPin("Input", in, PinDirection::Input, PinCategory::None, MajorType::Video);
  filter->AddPin("Capture", cap, PinDirection::Output, PinCategory::Capture, MajorType::Video);
  filter->AddPin("Preview", pre, PinDirection::Output, PinCategory::Preview, MajorType::Video);
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

std::shared_ptr<GstFilter> MakeFileWriter(uint64_t failAfterBytes) {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* sink = gst_element_factory_make("filesink", "sink");
  g_object_set(sink, "async", FALSE, nullptr);
  gst_bin_add(GST_BIN(bin), sink);
  auto filter = std::make_shared<FileWriterFilter>(bin, sink);
  GstPad* in = StaticPad(sink, "sink");
  if (failAfterBytes > 0) {
    auto* limit = new WriteLimit;
    limit->limit = failAfterBytes;
    gst_pad_add_probe(in, GST_PAD_PROBE_TYPE_BUFFER, LimitWrites, limit,
                      [](gpointer p) { delete static_cast<WriteLimit*>(p); });
  }
  filter->AddPin("in", in, PinDirection::Input, PinCategory::None, MajorType::Any);
  gst_object_unref(in);
  return filter;
}

}  // namespace media::gst
