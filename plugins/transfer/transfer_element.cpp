// The ostreltransfer element: scales BGR video to the chosen output size as BGRx or BGR.
#include "transfer_element.h"

#include <gst/video/video.h>

#include "frame_scaler.h"
#include "transfer_sizes.h"

GST_DEBUG_CATEGORY_STATIC(ostrel_transfer_debug);
#define GST_CAT_DEFAULT ostrel_transfer_debug

struct _OstrelTransfer {
  GstVideoFilter parent;
  // Set from the application thread, read while negotiating: under the object lock.
  guint outputWidth;
  guint outputHeight;
  // Touched only by negotiation and the streaming thread, which the base class serialises.
  transfer::FrameScaler* scaler;
};

G_DEFINE_TYPE(OstrelTransfer, ostrel_transfer, GST_TYPE_VIDEO_FILTER)

namespace {

enum { PROP_0, PROP_OUTPUT_WIDTH, PROP_OUTPUT_HEIGHT, PROP_AVAILABLE_SIZES };

// BGRx first: 32-bit pixels that a Qt sink paints as QImage::Format_RGB32 without a pass.
#define OSTREL_TRANSFER_SRC_FORMATS "{ BGRx, BGR }"

GstStaticPadTemplate sink_template = GST_STATIC_PAD_TEMPLATE(
    "sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS(GST_VIDEO_CAPS_MAKE("BGR")));
GstStaticPadTemplate src_template =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                            GST_STATIC_CAPS(GST_VIDEO_CAPS_MAKE(OSTREL_TRANSFER_SRC_FORMATS)));

void SetFormats(GstStructure* s, GstPadDirection direction) {
  if (direction == GST_PAD_SRC) {
    gst_structure_set(s, "format", G_TYPE_STRING, "BGR", nullptr);
    return;
  }
  GValue list = G_VALUE_INIT;
  GValue item = G_VALUE_INIT;
  gst_value_list_init(&list, 2);
  g_value_init(&item, G_TYPE_STRING);
  for (const char* format : {"BGRx", "BGR"}) {
    g_value_set_string(&item, format);
    gst_value_list_append_value(&list, &item);
  }
  gst_structure_take_value(s, "format", &list);
  g_value_unset(&item);
}

// A chosen axis is fixed on the output and free on the input; an axis left at 0 passes
// through unchanged in both directions.
void SetAxis(GstStructure* s, const char* field, guint chosen, GstPadDirection direction) {
  if (chosen == 0) return;
  if (direction == GST_PAD_SINK)
    gst_structure_set(s, field, G_TYPE_INT, static_cast<gint>(chosen), nullptr);
  else
    gst_structure_set(s, field, GST_TYPE_INT_RANGE, 1, G_MAXINT, nullptr);
}

GstCaps* TransformCaps(GstBaseTransform* trans, GstPadDirection direction, GstCaps* caps,
                       GstCaps* filter) {
  OstrelTransfer* self = OSTREL_TRANSFER(trans);
  GST_OBJECT_LOCK(self);
  const guint width = self->outputWidth;
  const guint height = self->outputHeight;
  GST_OBJECT_UNLOCK(self);

  GstCaps* result = gst_caps_new_empty();
  for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
    GstStructure* s = gst_structure_copy(gst_caps_get_structure(caps, i));
    SetFormats(s, direction);
    SetAxis(s, "width", width, direction);
    SetAxis(s, "height", height, direction);
    result = gst_caps_merge_structure(result, s);
  }
  if (filter) {
    GstCaps* both = gst_caps_intersect_full(filter, result, GST_CAPS_INTERSECT_FIRST);
    gst_caps_unref(result);
    result = both;
  }
  GST_DEBUG_OBJECT(trans, "%s caps %" GST_PTR_FORMAT " -> %" GST_PTR_FORMAT,
                   direction == GST_PAD_SINK ? "sink" : "src", caps, result);
  return result;
}

gboolean SetInfo(GstVideoFilter* filter, GstCaps*, GstVideoInfo* in, GstCaps*, GstVideoInfo* out) {
  OstrelTransfer* self = OSTREL_TRANSFER(filter);
  const auto format = GST_VIDEO_INFO_FORMAT(out) == GST_VIDEO_FORMAT_BGRx
                          ? transfer::PixelFormat::kBgrx
                          : transfer::PixelFormat::kBgr;
  if (!self->scaler->Configure(GST_VIDEO_INFO_WIDTH(in), GST_VIDEO_INFO_HEIGHT(in),
                               GST_VIDEO_INFO_WIDTH(out), GST_VIDEO_INFO_HEIGHT(out), format)) {
    GST_ELEMENT_ERROR(
        filter, RESOURCE, NO_SPACE_LEFT,
        ("Cannot scale %dx%d video to %dx%d.", GST_VIDEO_INFO_WIDTH(in), GST_VIDEO_INFO_HEIGHT(in),
         GST_VIDEO_INFO_WIDTH(out), GST_VIDEO_INFO_HEIGHT(out)),
        ("the scratch buffers could not be allocated"));
    return FALSE;
  }
  GST_INFO_OBJECT(filter, "%dx%d BGR -> %dx%d %s", GST_VIDEO_INFO_WIDTH(in),
                  GST_VIDEO_INFO_HEIGHT(in), GST_VIDEO_INFO_WIDTH(out), GST_VIDEO_INFO_HEIGHT(out),
                  GST_VIDEO_INFO_NAME(out));
  return TRUE;
}

GstFlowReturn TransformFrame(GstVideoFilter* filter, GstVideoFrame* in, GstVideoFrame* out) {
  OstrelTransfer* self = OSTREL_TRANSFER(filter);
  self->scaler->Process(static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(in, 0)),
                        GST_VIDEO_FRAME_PLANE_STRIDE(in, 0),
                        static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(out, 0)),
                        GST_VIDEO_FRAME_PLANE_STRIDE(out, 0));
  return GST_FLOW_OK;
}

// Stores a new size for one axis; a refused value keeps the old one.
void SetOutputAxis(OstrelTransfer* self, guint* field, guint value, bool accepted,
                   const char* name) {
  if (!accepted) {
    g_warning("%s: %s %u is refused (0, or %u..%u by %u..%u); it stays %u", GST_OBJECT_NAME(self),
              name, value, transfer::kMinOutputWidth, transfer::kMaxOutputWidth,
              transfer::kMinOutputHeight, transfer::kMaxOutputHeight, *field);
    return;
  }
  GST_OBJECT_LOCK(self);
  const bool changed = *field != value;
  *field = value;
  GST_OBJECT_UNLOCK(self);
  // While streaming, the next frame renegotiates the output caps at the new size.
  if (changed) gst_base_transform_reconfigure_src(GST_BASE_TRANSFORM(self));
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* pspec) {
  OstrelTransfer* self = OSTREL_TRANSFER(object);
  const guint size = G_VALUE_HOLDS_UINT(value) ? g_value_get_uint(value) : 0;
  switch (id) {
    case PROP_OUTPUT_WIDTH:
      SetOutputAxis(self, &self->outputWidth, size, transfer::IsAcceptedOutputWidth(size),
                    "output-width");
      break;
    case PROP_OUTPUT_HEIGHT:
      SetOutputAxis(self, &self->outputHeight, size, transfer::IsAcceptedOutputHeight(size),
                    "output-height");
      break;
    default:
      G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* pspec) {
  OstrelTransfer* self = OSTREL_TRANSFER(object);
  switch (id) {
    case PROP_OUTPUT_WIDTH:
      GST_OBJECT_LOCK(self);
      g_value_set_uint(value, self->outputWidth);
      GST_OBJECT_UNLOCK(self);
      break;
    case PROP_OUTPUT_HEIGHT:
      GST_OBJECT_LOCK(self);
      g_value_set_uint(value, self->outputHeight);
      GST_OBJECT_UNLOCK(self);
      break;
    case PROP_AVAILABLE_SIZES:
      g_value_set_string(value, transfer::AvailableSizesText().c_str());
      break;
    default:
      G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

void Finalize(GObject* object) {
  delete OSTREL_TRANSFER(object)->scaler;
  G_OBJECT_CLASS(ostrel_transfer_parent_class)->finalize(object);
}

}  // namespace

static void ostrel_transfer_class_init(OstrelTransferClass* klass) {
  GST_DEBUG_CATEGORY_INIT(ostrel_transfer_debug, "ostreltransfer", 0, "Video transfer filter");
  GObjectClass* objectClass = G_OBJECT_CLASS(klass);
  objectClass->set_property = SetProperty;
  objectClass->get_property = GetProperty;
  objectClass->finalize = Finalize;

  const auto flags = static_cast<GParamFlags>(G_PARAM_READWRITE | GST_PARAM_MUTABLE_PLAYING |
                                              G_PARAM_STATIC_STRINGS);
  g_object_class_install_property(
      objectClass, PROP_OUTPUT_WIDTH,
      g_param_spec_uint("output-width", "Output width",
                        "Width of the output picture in pixels (0 = the input's own width)", 0,
                        transfer::kMaxOutputWidth, 0, flags));
  g_object_class_install_property(
      objectClass, PROP_OUTPUT_HEIGHT,
      g_param_spec_uint("output-height", "Output height",
                        "Height of the output picture in pixels (0 = the input's own height)", 0,
                        transfer::kMaxOutputHeight, 0, flags));
  g_object_class_install_property(
      objectClass, PROP_AVAILABLE_SIZES,
      g_param_spec_string("available-sizes", "Available sizes",
                          "Output sizes offered for choice, WxH comma-separated; 0x0 is the "
                          "input's own size",
                          transfer::AvailableSizesText().c_str(),
                          static_cast<GParamFlags>(G_PARAM_READABLE | G_PARAM_STATIC_STRINGS)));

  GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
  gst_element_class_set_static_metadata(
      elementClass, "Video transfer filter", "Filter/Converter/Video/Scaler",
      "Scales RGB24 video to a chosen output size for display", "Ostrel");
  gst_element_class_add_static_pad_template(elementClass, &sink_template);
  gst_element_class_add_static_pad_template(elementClass, &src_template);

  GstBaseTransformClass* transformClass = GST_BASE_TRANSFORM_CLASS(klass);
  transformClass->transform_caps = TransformCaps;
  // BGR out at the input's size is the input itself: hand the buffers on.
  transformClass->passthrough_on_same_caps = TRUE;

  GstVideoFilterClass* filterClass = GST_VIDEO_FILTER_CLASS(klass);
  filterClass->set_info = SetInfo;
  filterClass->transform_frame = TransformFrame;
}

static void ostrel_transfer_init(OstrelTransfer* self) {
  self->outputWidth = 0;
  self->outputHeight = 0;
  self->scaler = new transfer::FrameScaler();
}
