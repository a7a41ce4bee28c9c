// The YUV to BGR element: a GstVideoFilter over YuvToBgrRows.
#include "platform/gst/yuv_to_bgr.h"

#include <algorithm>
#include <atomic>
#include <initializer_list>

#include "platform/gst/yuv_to_bgr_rows.h"

struct OstrelYuvToBgr {
  GstVideoFilter parent;
  // A GstVideoFormat, set by the converter bin on the streaming thread before the caps and
  // read in negotiation on another.
  std::atomic<int> output;
  media::gst::YuvToBgrRows* rows;
};
struct OstrelYuvToBgrClass {
  GstVideoFilterClass parent;
};

G_DEFINE_TYPE(OstrelYuvToBgr, ostrel_yuv_to_bgr, GST_TYPE_VIDEO_FILTER)

namespace {

OstrelYuvToBgr* Self(gpointer p) {
  return G_TYPE_CHECK_INSTANCE_CAST(p, ostrel_yuv_to_bgr_get_type(), OstrelYuvToBgr);
}

enum { PROP_0, PROP_OUTPUT };

GstStaticPadTemplate kSinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw"));
GstStaticPadTemplate kSrcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw"));

bool Takes(const GstVideoInfo& info) {
  const GstVideoFormatInfo* f = info.finfo;
  gdouble kr, kb;
  return GST_VIDEO_FORMAT_INFO_IS_YUV(f) && GST_VIDEO_FORMAT_INFO_DEPTH(f, 0) == 8 &&
         GST_VIDEO_FORMAT_INFO_N_COMPONENTS(f) == 3 && f->w_sub[1] == 1 && f->w_sub[2] == 1 &&
         f->h_sub[1] == f->h_sub[2] && f->h_sub[1] <= 1 &&
         f->pixel_stride[1] == f->pixel_stride[2] && info.height % (1 << f->h_sub[1]) == 0 &&
         gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &kr, &kb) &&
         !GST_VIDEO_INFO_IS_INTERLACED(&info) && info.width >= 2 && info.width % 2 == 0;
}

// The arithmetic videoconvert uses for these caps, if it is one of ours.
bool MatrixFor(const GstVideoInfo& info, media::gst::YuvToRgbMatrix& matrix) {
  gdouble kr = 0, kb = 0;
  if (!Takes(info) || !gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &kr, &kb))
    return false;
  if (info.colorimetry.range == GST_VIDEO_COLOR_RANGE_16_235) {
    matrix = media::gst::LimitedRangeMatrix(kr, kb);
    return true;
  }
  // Full range only as JPEG decoders give it, BT.601, in 4:2:2 or as I420/YV12 (which
  // videoconvert converts with its chroma repeated, not filtered): where ours was checked.
  const GstVideoFormat format = GST_VIDEO_INFO_FORMAT(&info);
  return info.colorimetry.range == GST_VIDEO_COLOR_RANGE_0_255 &&
         info.colorimetry.matrix == GST_VIDEO_COLOR_MATRIX_BT601 &&
         (info.finfo->h_sub[1] == 0 || format == GST_VIDEO_FORMAT_I420 ||
          format == GST_VIDEO_FORMAT_YV12) &&
         media::gst::FullRangeMatrix(kr, kb, matrix);
}

void SetFormats(GstStructure* s, std::initializer_list<const char*> formats) {
  GValue list = G_VALUE_INIT;
  GValue item = G_VALUE_INIT;
  gst_value_list_init(&list, formats.size());
  g_value_init(&item, G_TYPE_STRING);
  for (const char* format : formats) {
    g_value_set_string(&item, format);
    gst_value_list_append_value(&list, &item);
  }
  gst_structure_take_value(s, "format", &list);
  g_value_unset(&item);
}

// videoconvert's RGB output keeps the transfer function and primaries of its input.
void SetRgbColorimetry(GstStructure* s) {
  const char* text = gst_structure_get_string(s, "colorimetry");
  GstVideoColorimetry c;
  if (!text || !gst_video_colorimetry_from_string(&c, text)) {
    gst_structure_remove_field(s, "colorimetry");
    return;
  }
  c.range = GST_VIDEO_COLOR_RANGE_0_255;
  c.matrix = GST_VIDEO_COLOR_MATRIX_RGB;
  gchar* rgb = gst_video_colorimetry_to_string(&c);
  gst_structure_set(s, "colorimetry", G_TYPE_STRING, rgb, nullptr);
  g_free(rgb);
}

GstCaps* TransformCaps(GstBaseTransform* trans, GstPadDirection direction, GstCaps* caps,
                       GstCaps* filter) {
  OstrelYuvToBgr* self = Self(trans);
  const auto output = static_cast<GstVideoFormat>(self->output.load());
  GstCaps* result;
  if (output == GST_VIDEO_FORMAT_UNKNOWN) {
    result = gst_caps_ref(caps);
  } else {
    result = gst_caps_new_empty();
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
      GstStructure* s = gst_structure_copy(gst_caps_get_structure(caps, i));
      gst_structure_remove_field(s, "chroma-site");
      if (direction == GST_PAD_SINK) {
        gst_structure_set(s, "format", G_TYPE_STRING, gst_video_format_to_string(output), nullptr);
        SetRgbColorimetry(s);
      } else {
        SetFormats(s, {"YUY2", "UYVY", "YVYU", "Y42B", "NV16", "I420", "YV12", "NV12", "NV21"});
        gst_structure_remove_field(s, "colorimetry");
      }
      result = gst_caps_merge_structure(result, s);
    }
  }
  if (filter) {
    GstCaps* both = gst_caps_intersect_full(filter, result, GST_CAPS_INTERSECT_FIRST);
    gst_caps_unref(result);
    result = both;
  }
  return result;
}

gboolean SetInfo(GstVideoFilter* filter, GstCaps*, GstVideoInfo* in, GstCaps*, GstVideoInfo* out) {
  OstrelYuvToBgr* self = Self(filter);
  if (GST_VIDEO_INFO_FORMAT(in) == GST_VIDEO_INFO_FORMAT(out)) return TRUE;  // passing through
  const GstVideoFormat format = GST_VIDEO_INFO_FORMAT(out);
  media::gst::YuvToRgbMatrix matrix{};
  const bool repeated =
      in->colorimetry.range == GST_VIDEO_COLOR_RANGE_0_255 && in->finfo->h_sub[1] == 1;
  const auto siting = repeated ? media::gst::ChromaSiting::kRepeated
                      : (in->chroma_site & GST_VIDEO_CHROMA_SITE_H_COSITED)
                          ? media::gst::ChromaSiting::kCosited
                          : media::gst::ChromaSiting::kBetween;
  if (!MatrixFor(*in, matrix) ||
      (format != GST_VIDEO_FORMAT_BGR && format != GST_VIDEO_FORMAT_BGRx) ||
      !self->rows->Configure(GST_VIDEO_INFO_WIDTH(in), matrix, siting,
                             format == GST_VIDEO_FORMAT_BGRx ? 4 : 3)) {
    GST_ERROR_OBJECT(filter, "cannot convert %s to %s", GST_VIDEO_INFO_NAME(in),
                     GST_VIDEO_INFO_NAME(out));
    return FALSE;
  }
  return TRUE;
}

GstFlowReturn TransformFrame(GstVideoFilter* filter, GstVideoFrame* in, GstVideoFrame* out) {
  OstrelYuvToBgr* self = Self(filter);
  const size_t yStep = GST_VIDEO_FRAME_COMP_PSTRIDE(in, 0);
  const size_t cStep = GST_VIDEO_FRAME_COMP_PSTRIDE(in, 1);
  const auto* y = static_cast<const uint8_t*>(GST_VIDEO_FRAME_COMP_DATA(in, 0));
  const auto* u = static_cast<const uint8_t*>(GST_VIDEO_FRAME_COMP_DATA(in, 1));
  const auto* v = static_cast<const uint8_t*>(GST_VIDEO_FRAME_COMP_DATA(in, 2));
  const size_t yStride = GST_VIDEO_FRAME_COMP_STRIDE(in, 0);
  const size_t cStride = GST_VIDEO_FRAME_COMP_STRIDE(in, 1);
  auto* dst = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(out, 0));
  const size_t dstStride = GST_VIDEO_FRAME_PLANE_STRIDE(out, 0);
  const int height = GST_VIDEO_FRAME_HEIGHT(in);
  const bool shared = in->info.finfo->h_sub[1] == 1;  // 4:2:0: two rows to a chroma row
  // Full-range 4:2:0 takes its chroma row as it is, as videoconvert's I420 conversion does.
  const bool blend = shared && in->info.colorimetry.range != GST_VIDEO_COLOR_RANGE_0_255;
  const int lastChroma = height / 2 - 1;
  for (int row = 0; row < height; ++row) {
    media::gst::YuvRow r{y + row * yStride, yStep, u + row * cStride, v + row * cStride, cStep};
    if (shared) {
      // Rows 2k-1 and 2k lie between chroma rows k-1 and k, each nearer its own.
      const int nearer = row / 2;
      const int other = row % 2 ? std::min(nearer + 1, lastChroma) : std::max(nearer - 1, 0);
      r.u = u + nearer * cStride;
      r.v = v + nearer * cStride;
      if (blend) {
        r.farU = u + other * cStride;
        r.farV = v + other * cStride;
      }
    }
    self->rows->Convert(r, dst + row * dstStride);
  }
  return GST_FLOW_OK;
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* pspec) {
  if (id != PROP_OUTPUT) {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
    return;
  }
  OstrelYuvToBgr* self = Self(object);
  self->output.store(g_value_get_int(value));
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* pspec) {
  if (id != PROP_OUTPUT) {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
    return;
  }
  OstrelYuvToBgr* self = Self(object);
  g_value_set_int(value, self->output.load());
}

void Finalize(GObject* object) {
  delete Self(object)->rows;
  G_OBJECT_CLASS(ostrel_yuv_to_bgr_parent_class)->finalize(object);
}

}  // namespace

static void ostrel_yuv_to_bgr_class_init(OstrelYuvToBgrClass* klass) {
  GObjectClass* objectClass = G_OBJECT_CLASS(klass);
  objectClass->set_property = SetProperty;
  objectClass->get_property = GetProperty;
  objectClass->finalize = Finalize;
  g_object_class_install_property(
      objectClass, PROP_OUTPUT,
      g_param_spec_int("output", "Output", "GstVideoFormat made: UNKNOWN passes through, BGR, BGRx",
                       0, G_MAXINT, GST_VIDEO_FORMAT_UNKNOWN,
                       static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS)));
  GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
  gst_element_class_set_static_metadata(
      elementClass, "YUV to BGR", "Filter/Converter/Video",
      "Converts 4:2:2 and 4:2:0 YUV to BGR with videoconvert's values", "Ostrel");
  gst_element_class_add_static_pad_template(elementClass, &kSinkTemplate);
  gst_element_class_add_static_pad_template(elementClass, &kSrcTemplate);
  GstBaseTransformClass* transformClass = GST_BASE_TRANSFORM_CLASS(klass);
  transformClass->transform_caps = TransformCaps;
  transformClass->passthrough_on_same_caps = TRUE;
  GstVideoFilterClass* filterClass = GST_VIDEO_FILTER_CLASS(klass);
  filterClass->set_info = SetInfo;
  filterClass->transform_frame = TransformFrame;
}

static void ostrel_yuv_to_bgr_init(OstrelYuvToBgr* self) {
  self->output.store(GST_VIDEO_FORMAT_UNKNOWN);
  self->rows = new media::gst::YuvToBgrRows();
}

namespace media::gst {

GstElement* MakeYuvToBgr() {
  return GST_ELEMENT(g_object_new(ostrel_yuv_to_bgr_get_type(), nullptr));
}

bool YuvToBgrTakes(GstCaps* caps, GstVideoFormat format) {
  GstVideoInfo info;
  YuvToRgbMatrix matrix{};
  if (!caps || !gst_caps_is_fixed(caps) || !gst_video_info_from_caps(&info, caps) ||
      !MatrixFor(info, matrix))
    return false;
  // Full range goes through videoconvert's generic 8-bit path only into BGR; into BGRx it
  // has conversions of its own for some layouts.
  return format == GST_VIDEO_FORMAT_BGR || (format == GST_VIDEO_FORMAT_BGRx && !matrix.eightBit);
}

GstCaps* YuvToBgrOutputCaps(GstCaps* caps, GstVideoFormat format) {
  GstCaps* out = gst_caps_copy(caps);
  for (guint i = 0; i < gst_caps_get_size(out); ++i) {
    GstStructure* s = gst_caps_get_structure(out, i);
    gst_structure_remove_field(s, "chroma-site");
    gst_structure_set(s, "format", G_TYPE_STRING, gst_video_format_to_string(format), nullptr);
    SetRgbColorimetry(s);
  }
  return out;
}

}  // namespace media::gst
