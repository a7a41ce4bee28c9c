// The virtual microphone element: a live 440 Hz tone, S16LE stereo at 48 or 44.1 kHz.
#include "microphone_src.h"

#include "device_config.h"

struct _OstrelVirtualMicSrc {
  GstBin parent;
  int index;
};

G_DEFINE_TYPE(OstrelVirtualMicSrc, ostrel_virtual_mic_src, GST_TYPE_BIN)

enum { PROP_0, PROP_MICROPHONE_INDEX };

static const char kMicCaps[] =
    "audio/x-raw, format=(string)S16LE, layout=(string)interleaved, "
    "rate=(int){ 48000, 44100 }, channels=(int)2";

static void mic_set_property(GObject* object, guint id, const GValue* value, GParamSpec* pspec) {
  if (id == PROP_MICROPHONE_INDEX) {
    OSTREL_VIRTUAL_MIC_SRC(object)->index = g_value_get_int(value);
  } else {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

static void mic_get_property(GObject* object, guint id, GValue* value, GParamSpec* pspec) {
  if (id == PROP_MICROPHONE_INDEX) {
    g_value_set_int(value, OSTREL_VIRTUAL_MIC_SRC(object)->index);
  } else {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

// A microphone set to fail refuses to start, as a device that is busy or gone does.
static GstStateChangeReturn mic_change_state(GstElement* element, GstStateChange transition) {
  auto* self = OSTREL_VIRTUAL_MIC_SRC(element);
  if (transition == GST_STATE_CHANGE_READY_TO_PAUSED &&
      virtualcam::MicrophoneAt(self->index).failsToStart) {
    GST_ELEMENT_ERROR(self, RESOURCE, OPEN_READ, ("Could not start the virtual microphone."),
                      ("microphone %d is set to fail when it starts", self->index));
    return GST_STATE_CHANGE_FAILURE;
  }
  return GST_ELEMENT_CLASS(ostrel_virtual_mic_src_parent_class)->change_state(element, transition);
}

static void ostrel_virtual_mic_src_class_init(OstrelVirtualMicSrcClass* klass) {
  GObjectClass* object_class = G_OBJECT_CLASS(klass);
  GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
  element_class->change_state = mic_change_state;
  object_class->set_property = mic_set_property;
  object_class->get_property = mic_get_property;
  g_object_class_install_property(
      object_class, PROP_MICROPHONE_INDEX,
      g_param_spec_int("microphone-index", "Microphone index",
                       "Which configured virtual microphone this is", 0, G_MAXINT, 0,
                       static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_CONSTRUCT |
                                                G_PARAM_STATIC_STRINGS)));
  GstCaps* caps = gst_caps_from_string(kMicCaps);
  gst_element_class_add_pad_template(
      element_class, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
  gst_caps_unref(caps);
  gst_element_class_set_static_metadata(element_class, "Ostrel virtual microphone", "Source/Audio",
                                        "A microphone that hears a 440 Hz tone", "Ostrel");
}

static void ostrel_virtual_mic_src_init(OstrelVirtualMicSrc* self) {
  self->index = 0;
  GstElement* tone = gst_element_factory_make("audiotestsrc", "tone");
  GstElement* filter = gst_element_factory_make("capsfilter", "format");
  if (!tone || !filter) {
    // Without a src pad every link fails, which the caller reports.
    g_critical("virtual microphone: audiotestsrc or capsfilter is missing");
    if (tone) gst_object_unref(gst_object_ref_sink(tone));
    if (filter) gst_object_unref(gst_object_ref_sink(filter));
    return;
  }
  g_object_set(tone, "is-live", TRUE, "wave", 0, "freq", 440.0, "volume", 0.3, nullptr);
  GstCaps* caps = gst_caps_from_string(kMicCaps);
  g_object_set(filter, "caps", caps, nullptr);
  gst_caps_unref(caps);
  gst_bin_add_many(GST_BIN(self), tone, filter, nullptr);
  gst_element_link(tone, filter);
  GstPad* target = gst_element_get_static_pad(filter, "src");
  GstPadTemplate* templ = gst_element_class_get_pad_template(GST_ELEMENT_GET_CLASS(self), "src");
  gst_element_add_pad(GST_ELEMENT(self), gst_ghost_pad_new_from_template("src", target, templ));
  gst_object_unref(target);
  GST_OBJECT_FLAG_SET(self, GST_ELEMENT_FLAG_SOURCE);
}
