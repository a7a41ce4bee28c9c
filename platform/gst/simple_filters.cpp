// Smart tee and null renderer.
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
