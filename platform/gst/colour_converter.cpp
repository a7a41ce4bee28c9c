// The colour space converter: two videoconverts around a route that is 16-bit AYUV64 only
// for limited-range 8-bit YUV that the downstream element does not take as it is. Ahead of
// them, our own YUV to BGR element makes the same values in one pass when downstream takes
// BGR alone or BGRx alone; the videoconverts then pass its frames on.
#include "platform/gst/colour_converter.h"

#include <gst/video/video.h>

#include <initializer_list>

#include "platform/gst/yuv_to_bgr.h"

namespace media::gst {
namespace {

GstStaticPadTemplate kSinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw"));
GstStaticPadTemplate kSrcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw"));

// 8-bit YUV that downstream does not take as it is (a recording of the camera's own YUV
// takes it: nothing to convert); limited says which range.
bool NeedsYuvConversion(GstCaps* caps, GstPad* src, bool& limited) {
  GstVideoInfo info;
  if (!gst_video_info_from_caps(&info, caps)) return false;
  if (!GST_VIDEO_INFO_IS_YUV(&info) || GST_VIDEO_INFO_COMP_DEPTH(&info, 0) != 8) return false;
  limited = info.colorimetry.range == GST_VIDEO_COLOR_RANGE_16_235;
  return !gst_pad_peer_query_accept_caps(src, caps);
}

// The one format downstream takes, or UNKNOWN when it takes several, or any.
GstVideoFormat OnlyFormatTaken(GstPad* src) {
  GstCaps* peer = gst_pad_peer_query_caps(src, nullptr);
  GstVideoFormat only = GST_VIDEO_FORMAT_UNKNOWN;
  bool several = !peer || gst_caps_is_any(peer) || gst_caps_is_empty(peer);
  for (guint i = 0; !several && i < gst_caps_get_size(peer); ++i) {
    const GValue* formats = gst_structure_get_value(gst_caps_get_structure(peer, i), "format");
    const bool list = formats && GST_VALUE_HOLDS_LIST(formats);
    if (!formats || (!list && !G_VALUE_HOLDS_STRING(formats))) {
      several = true;
      break;
    }
    for (guint j = 0; j < (list ? gst_value_list_get_size(formats) : 1); ++j) {
      const GValue* f = list ? gst_value_list_get_value(formats, j) : formats;
      const GstVideoFormat format = G_VALUE_HOLDS_STRING(f)
                                        ? gst_video_format_from_string(g_value_get_string(f))
                                        : GST_VIDEO_FORMAT_UNKNOWN;
      if (format == GST_VIDEO_FORMAT_UNKNOWN ||
          (only != GST_VIDEO_FORMAT_UNKNOWN && format != only))
        several = true;
      only = format;
    }
  }
  if (peer) gst_caps_unref(peer);
  return several ? GST_VIDEO_FORMAT_UNKNOWN : only;
}

// The output our own converter makes for these caps, or UNKNOWN: only where downstream
// takes BGR alone or BGRx alone, the format the videoconverts would make too.
GstVideoFormat DirectOutput(GstCaps* caps, GstPad* src) {
  const GstVideoFormat format = OnlyFormatTaken(src);
  if ((format != GST_VIDEO_FORMAT_BGR && format != GST_VIDEO_FORMAT_BGRx) ||
      !YuvToBgrTakes(caps, format))
    return GST_VIDEO_FORMAT_UNKNOWN;
  GstCaps* out = YuvToBgrOutputCaps(caps, format);
  const bool taken = gst_pad_peer_query_accept_caps(src, out);
  gst_caps_unref(out);
  return taken ? format : GST_VIDEO_FORMAT_UNKNOWN;
}

// Chooses the route for each new input format before the first element sees it.
GstPadProbeReturn OnSinkEvent(GstPad* pad, GstPadProbeInfo* info, gpointer) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS) return GST_PAD_PROBE_OK;
  GstCaps* caps = nullptr;
  gst_event_parse_caps(event, &caps);
  GstElement* bin = GST_ELEMENT(gst_object_get_parent(GST_OBJECT(pad)));
  if (!bin) return GST_PAD_PROBE_OK;
  GstPad* src = gst_element_get_static_pad(bin, "src");
  GstElement* direct = gst_bin_get_by_name(GST_BIN(bin), "direct");
  GstElement* route = gst_bin_get_by_name(GST_BIN(bin), "route");
  bool limited = false;
  const bool convert = NeedsYuvConversion(caps, src, limited);
  const GstVideoFormat output = convert ? DirectOutput(caps, src) : GST_VIDEO_FORMAT_UNKNOWN;
  const bool precise = convert && limited;
  g_object_set(direct, "output", static_cast<gint>(output), nullptr);
  GstCaps* wanted = precise && output == GST_VIDEO_FORMAT_UNKNOWN
                        ? gst_caps_from_string("video/x-raw, format=(string)AYUV64")
                        : gst_caps_new_any();
  g_object_set(route, "caps", wanted, nullptr);
  gst_caps_unref(wanted);
  gst_object_unref(route);
  gst_object_unref(direct);
  gst_object_unref(src);
  gst_object_unref(bin);
  return GST_PAD_PROBE_OK;
}

}  // namespace

GstElement* MakeColourConverter() {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* direct = MakeYuvToBgr();
  GstElement* in = gst_element_factory_make("videoconvert", nullptr);
  GstElement* route = gst_element_factory_make("capsfilter", "route");
  GstElement* out = gst_element_factory_make("videoconvert", nullptr);
  if (!direct || !in || !route || !out) {
    for (GstElement* e : {direct, in, route, out})
      if (e) gst_object_unref(gst_object_ref_sink(e));
    gst_object_unref(gst_object_ref_sink(bin));
    return nullptr;
  }
  gst_object_set_name(GST_OBJECT(direct), "direct");
  gst_bin_add_many(GST_BIN(bin), direct, in, route, out, nullptr);
  gst_element_link_many(direct, in, route, out, nullptr);
  GstPad* inSink = gst_element_get_static_pad(direct, "sink");
  GstPad* outSrc = gst_element_get_static_pad(out, "src");
  GstPad* sink =
      gst_ghost_pad_new_from_template("sink", inSink, gst_static_pad_template_get(&kSinkTemplate));
  GstPad* src =
      gst_ghost_pad_new_from_template("src", outSrc, gst_static_pad_template_get(&kSrcTemplate));
  gst_object_unref(inSink);
  gst_object_unref(outSrc);
  gst_pad_add_probe(sink, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, OnSinkEvent, nullptr, nullptr);
  gst_element_add_pad(bin, sink);
  gst_element_add_pad(bin, src);
  return bin;
}

}  // namespace media::gst
