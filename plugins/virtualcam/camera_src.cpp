// The virtual camera element: a live bin around the stream source, with a leaky queue
// that gives the still pad its own thread, and an optional set of picture controls.
#include "camera_src.h"

#include <gst/video/colorbalance.h>

#include "camera_caps.h"
#include "camera_stream_src.h"
#include "device_config.h"
#include "still_output.h"

// ---- ostrelvirtualcamsrcplain ------------------------------------------------------

typedef struct {
  int index;
  gboolean top_down;
  GstElement* stream;
  GstElement* still_output;  // null without a still pin
  GstElement* still_queue;
  GstPad* still_ghost;
} OstrelVirtualCamSrcPlainPrivate;

G_DEFINE_TYPE_WITH_PRIVATE(OstrelVirtualCamSrcPlain, ostrel_virtual_cam_src_plain, GST_TYPE_BIN)

enum { PROP_0, PROP_CAMERA_INDEX, PROP_TOP_DOWN };
enum { SIGNAL_TRIGGER_STILL, N_SIGNALS };
static guint plain_signals[N_SIGNALS];

static OstrelVirtualCamSrcPlainPrivate* plain_priv(gpointer self) {
  return static_cast<OstrelVirtualCamSrcPlainPrivate*>(
      ostrel_virtual_cam_src_plain_get_instance_private(OSTREL_VIRTUAL_CAM_SRC_PLAIN(self)));
}

static void remove_still_branch(OstrelVirtualCamSrcPlain* self) {
  auto* p = plain_priv(self);
  if (!p->still_queue) return;
  gst_element_remove_pad(GST_ELEMENT(self), p->still_ghost);
  for (GstElement* e : {p->still_output, p->still_queue}) {
    gst_element_set_state(e, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(self), e);
  }
  p->still_output = nullptr;
  p->still_queue = nullptr;
  p->still_ghost = nullptr;
}

static void add_still_branch(OstrelVirtualCamSrcPlain* self) {
  auto* p = plain_priv(self);
  if (p->still_queue) return;
  // Leaky: a still branch that does not take its frames drops them instead of
  // holding up the capture frames.
  p->still_queue = gst_element_factory_make("queue", "still-queue");
  if (!p->still_queue) {
    g_critical("virtual camera: the coreelements queue is missing; no still pad");
    return;
  }
  g_object_set(p->still_queue, "leaky", 2, "max-size-buffers", 2, "max-size-bytes", 0,
               "max-size-time", G_GUINT64_CONSTANT(0), "silent", TRUE, nullptr);
  p->still_output = GST_ELEMENT(g_object_new(OSTREL_TYPE_STILL_OUTPUT, "name", "still", nullptr));
  gst_bin_add_many(GST_BIN(self), p->still_output, p->still_queue, nullptr);
  gst_element_link(p->still_output, p->still_queue);
  GstPad* target = gst_element_get_static_pad(p->still_queue, "src");
  GstPadTemplate* templ = gst_element_class_get_pad_template(GST_ELEMENT_GET_CLASS(self), "still");
  p->still_ghost = gst_ghost_pad_new_from_template("still", target, templ);
  gst_object_unref(target);
  gst_element_add_pad(GST_ELEMENT(self), p->still_ghost);
}

static void apply_camera(OstrelVirtualCamSrcPlain* self, int index) {
  auto* p = plain_priv(self);
  const virtualcam::CameraSpec spec = virtualcam::CameraAt(index);
  p->index = index;
  p->top_down = spec.topDown;
  if (spec.hasStillPin) {
    add_still_branch(self);
  } else {
    remove_still_branch(self);
  }
  ostrel_camera_stream_src_set_camera(
      OSTREL_CAMERA_STREAM_SRC(p->stream), index, spec,
      p->still_output ? OSTREL_STILL_OUTPUT(p->still_output) : nullptr);
}

static void plain_trigger_still(OstrelVirtualCamSrcPlain* self) {
  ostrel_camera_stream_src_trigger_still(OSTREL_CAMERA_STREAM_SRC(plain_priv(self)->stream));
}

static void plain_set_property(GObject* object, guint id, const GValue* value, GParamSpec* pspec) {
  auto* self = OSTREL_VIRTUAL_CAM_SRC_PLAIN(object);
  switch (id) {
    case PROP_CAMERA_INDEX:
      if (GST_STATE(self) != GST_STATE_NULL) {
        g_warning("virtual camera: camera-index can only change in the NULL state");
        return;
      }
      apply_camera(self, g_value_get_int(value));
      break;
    default:
      G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

static void plain_get_property(GObject* object, guint id, GValue* value, GParamSpec* pspec) {
  auto* p = plain_priv(object);
  switch (id) {
    case PROP_CAMERA_INDEX:
      g_value_set_int(value, p->index);
      break;
    case PROP_TOP_DOWN:
      g_value_set_boolean(value, p->top_down);
      break;
    default:
      G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

static void ostrel_virtual_cam_src_plain_class_init(OstrelVirtualCamSrcPlainClass* klass) {
  GObjectClass* object_class = G_OBJECT_CLASS(klass);
  GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
  object_class->set_property = plain_set_property;
  object_class->get_property = plain_get_property;
  g_object_class_install_property(
      object_class, PROP_CAMERA_INDEX,
      g_param_spec_int("camera-index", "Camera index", "Which configured virtual camera this is", 0,
                       G_MAXINT, 0,
                       static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_CONSTRUCT |
                                                G_PARAM_STATIC_STRINGS)));
  g_object_class_install_property(
      object_class, PROP_TOP_DOWN,
      g_param_spec_boolean("top-down", "Top-down RGB",
                           "The camera reports its RGB formats as stored top-down", FALSE,
                           static_cast<GParamFlags>(G_PARAM_READABLE | G_PARAM_STATIC_STRINGS)));
  klass->trigger_still = plain_trigger_still;
  plain_signals[SIGNAL_TRIGGER_STILL] =
      g_signal_new("trigger-still", G_TYPE_FROM_CLASS(klass),
                   static_cast<GSignalFlags>(G_SIGNAL_RUN_LAST | G_SIGNAL_ACTION),
                   G_STRUCT_OFFSET(OstrelVirtualCamSrcPlainClass, trigger_still), nullptr, nullptr,
                   nullptr, G_TYPE_NONE, 0);

  GstCaps* caps = virtualcam::AllCameraCaps();
  gst_element_class_add_pad_template(
      element_class, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
  gst_element_class_add_pad_template(
      element_class, gst_pad_template_new("still", GST_PAD_SRC, GST_PAD_SOMETIMES, caps));
  gst_caps_unref(caps);
  gst_element_class_set_static_metadata(
      element_class, "Ostrel virtual camera (no picture controls)", "Source/Video",
      "A test-pattern camera with a still pin and switchable faults", "Ostrel");
}

static void ostrel_virtual_cam_src_plain_init(OstrelVirtualCamSrcPlain* self) {
  auto* p = plain_priv(self);
  p->stream = GST_ELEMENT(g_object_new(OSTREL_TYPE_CAMERA_STREAM_SRC, "name", "stream", nullptr));
  gst_bin_add(GST_BIN(self), p->stream);
  GstPad* target = gst_element_get_static_pad(p->stream, "src");
  GstPadTemplate* templ = gst_element_class_get_pad_template(GST_ELEMENT_GET_CLASS(self), "src");
  GstPad* ghost = gst_ghost_pad_new_from_template("src", target, templ);
  gst_object_unref(target);
  gst_element_add_pad(GST_ELEMENT(self), ghost);
  GST_OBJECT_FLAG_SET(self, GST_ELEMENT_FLAG_SOURCE);
}

// ---- ostrelvirtualcamsrc: picture controls ---------------------------------------------

namespace {

struct Control {
  const char* name;
  const char* channel;  // null: not a colour-balance channel
  int min, max, initial;
};

// Ranges as a typical UVC webcam reports them.
const Control kControls[] = {
    {"brightness", "BRIGHTNESS", -64, 64, 0}, {"contrast", "CONTRAST", 0, 95, 32},
    {"hue", "HUE", -2000, 2000, 0},           {"saturation", "SATURATION", 0, 100, 64},
    {"sharpness", nullptr, 0, 7, 3},          {"gamma", nullptr, 100, 300, 100},
};
constexpr int kControlCount = G_N_ELEMENTS(kControls);

}  // namespace

struct _OstrelVirtualCamSrc {
  OstrelVirtualCamSrcPlain parent;
  int values[kControlCount];
  GList* channels;
};

static void colour_balance_init(GstColorBalanceInterface* iface);

G_DEFINE_TYPE_WITH_CODE(OstrelVirtualCamSrc, ostrel_virtual_cam_src,
                        OSTREL_TYPE_VIRTUAL_CAM_SRC_PLAIN,
                        G_IMPLEMENT_INTERFACE(GST_TYPE_COLOR_BALANCE, colour_balance_init))

static GParamSpec* control_specs[kControlCount + 1];

static void set_control(OstrelVirtualCamSrc* self, int i, int value) {
  value = CLAMP(value, kControls[i].min, kControls[i].max);
  GST_OBJECT_LOCK(self);
  const bool changed = self->values[i] != value;
  self->values[i] = value;
  GST_OBJECT_UNLOCK(self);
  if (!changed) return;
  g_object_notify_by_pspec(G_OBJECT(self), control_specs[i + 1]);
  if (kControls[i].channel) {
    for (GList* l = self->channels; l; l = l->next) {
      auto* ch = GST_COLOR_BALANCE_CHANNEL(l->data);
      if (g_strcmp0(ch->label, kControls[i].channel) == 0) {
        gst_color_balance_value_changed(GST_COLOR_BALANCE(self), ch, value);
      }
    }
  }
}

static int get_control(OstrelVirtualCamSrc* self, int i) {
  GST_OBJECT_LOCK(self);
  const int v = self->values[i];
  GST_OBJECT_UNLOCK(self);
  return v;
}

static int control_of_channel(GstColorBalanceChannel* channel) {
  for (int i = 0; i < kControlCount; ++i) {
    if (kControls[i].channel && g_strcmp0(channel->label, kControls[i].channel) == 0) return i;
  }
  return -1;
}

static const GList* balance_list_channels(GstColorBalance* balance) {
  return OSTREL_VIRTUAL_CAM_SRC(balance)->channels;
}

static void balance_set_value(GstColorBalance* balance, GstColorBalanceChannel* channel,
                              gint value) {
  const int i = control_of_channel(channel);
  if (i >= 0) set_control(OSTREL_VIRTUAL_CAM_SRC(balance), i, value);
}

static gint balance_get_value(GstColorBalance* balance, GstColorBalanceChannel* channel) {
  const int i = control_of_channel(channel);
  return i >= 0 ? get_control(OSTREL_VIRTUAL_CAM_SRC(balance), i) : 0;
}

static GstColorBalanceType balance_get_type(GstColorBalance*) { return GST_COLOR_BALANCE_HARDWARE; }

static void colour_balance_init(GstColorBalanceInterface* iface) {
  iface->list_channels = balance_list_channels;
  iface->set_value = balance_set_value;
  iface->get_value = balance_get_value;
  iface->get_balance_type = balance_get_type;
}

static void controls_set_property(GObject* object, guint id, const GValue* value,
                                  GParamSpec* pspec) {
  if (id >= 1 && id <= static_cast<guint>(kControlCount)) {
    set_control(OSTREL_VIRTUAL_CAM_SRC(object), id - 1, g_value_get_int(value));
  } else {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

static void controls_get_property(GObject* object, guint id, GValue* value, GParamSpec* pspec) {
  if (id >= 1 && id <= static_cast<guint>(kControlCount)) {
    g_value_set_int(value, get_control(OSTREL_VIRTUAL_CAM_SRC(object), id - 1));
  } else {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

static void controls_finalize(GObject* object) {
  auto* self = OSTREL_VIRTUAL_CAM_SRC(object);
  g_list_free_full(self->channels, g_object_unref);
  G_OBJECT_CLASS(ostrel_virtual_cam_src_parent_class)->finalize(object);
}

static void ostrel_virtual_cam_src_class_init(OstrelVirtualCamSrcClass* klass) {
  GObjectClass* object_class = G_OBJECT_CLASS(klass);
  // The parent's own properties keep their handlers: GObject dispatches by the class
  // that installed each property.
  object_class->set_property = controls_set_property;
  object_class->get_property = controls_get_property;
  object_class->finalize = controls_finalize;
  for (int i = 0; i < kControlCount; ++i) {
    const Control& c = kControls[i];
    control_specs[i + 1] =
        g_param_spec_int(c.name, c.name, "Picture control", c.min, c.max, c.initial,
                         static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS));
    g_object_class_install_property(object_class, i + 1, control_specs[i + 1]);
  }
  gst_element_class_set_static_metadata(GST_ELEMENT_CLASS(klass), "Ostrel virtual camera",
                                        "Source/Video",
                                        "A test-pattern camera with a still pin, picture "
                                        "controls and switchable faults",
                                        "Ostrel");
}

static void ostrel_virtual_cam_src_init(OstrelVirtualCamSrc* self) {
  self->channels = nullptr;
  for (int i = 0; i < kControlCount; ++i) {
    self->values[i] = kControls[i].initial;
    if (!kControls[i].channel) continue;
    auto* ch = GST_COLOR_BALANCE_CHANNEL(g_object_new(GST_TYPE_COLOR_BALANCE_CHANNEL, nullptr));
    ch->label = g_strdup(kControls[i].channel);
    ch->min_value = kControls[i].min;
    ch->max_value = kControls[i].max;
    self->channels = g_list_append(self->channels, ch);
  }
}
