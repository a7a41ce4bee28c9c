// The element that owns a virtual camera's still pad; frames are pushed into it by the
// camera's stream source, and relinks are noted so that a GAP follows.
#include "still_output.h"

#include "camera_caps.h"

struct _OstrelStillOutput {
  GstElement parent;
  GstPad* src;
  gint gap_requested;  // atomic
  GstClockTime latency;
};

G_DEFINE_TYPE(OstrelStillOutput, ostrel_still_output, GST_TYPE_ELEMENT)

GstPad* ostrel_still_output_pad(OstrelStillOutput* self) { return self->src; }

gboolean ostrel_still_output_take_gap_request(OstrelStillOutput* self) {
  return g_atomic_int_compare_and_exchange(&self->gap_requested, 1, 0);
}

void ostrel_still_output_set_latency(OstrelStillOutput* self, GstClockTime latency) {
  GST_OBJECT_LOCK(self);
  self->latency = latency;
  GST_OBJECT_UNLOCK(self);
}

static gboolean still_src_event(GstPad* pad, GstObject* parent, GstEvent* event) {
  auto* self = OSTREL_STILL_OUTPUT(parent);
  if (GST_EVENT_TYPE(event) == GST_EVENT_RECONFIGURE) {
    g_atomic_int_set(&self->gap_requested, 1);
    gst_event_unref(event);
    return TRUE;
  }
  return gst_pad_event_default(pad, parent, event);
}

static gboolean still_src_query(GstPad* pad, GstObject* parent, GstQuery* query) {
  auto* self = OSTREL_STILL_OUTPUT(parent);
  if (GST_QUERY_TYPE(query) == GST_QUERY_LATENCY) {
    GST_OBJECT_LOCK(self);
    const GstClockTime latency = self->latency;
    GST_OBJECT_UNLOCK(self);
    gst_query_set_latency(query, TRUE, latency, GST_CLOCK_TIME_NONE);
    return TRUE;
  }
  return gst_pad_query_default(pad, parent, query);
}

// An EOS sent to the camera (a graph stopping cleanly) must reach the still branch's
// sink too, or the pipeline would never report its end.
static gboolean still_send_event(GstElement* element, GstEvent* event) {
  auto* self = OSTREL_STILL_OUTPUT(element);
  if (GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
    gst_pad_push_event(self->src, event);
    return TRUE;
  }
  return GST_ELEMENT_CLASS(ostrel_still_output_parent_class)->send_event(element, event);
}

static GstStateChangeReturn still_change_state(GstElement* element, GstStateChange transition) {
  if (transition == GST_STATE_CHANGE_READY_TO_PAUSED) {
    g_atomic_int_set(&OSTREL_STILL_OUTPUT(element)->gap_requested, 1);
  }
  const GstStateChangeReturn ret =
      GST_ELEMENT_CLASS(ostrel_still_output_parent_class)->change_state(element, transition);
  // A live element: nothing to preroll before the camera runs.
  if (ret == GST_STATE_CHANGE_SUCCESS && (transition == GST_STATE_CHANGE_READY_TO_PAUSED ||
                                          transition == GST_STATE_CHANGE_PLAYING_TO_PAUSED)) {
    return GST_STATE_CHANGE_NO_PREROLL;
  }
  return ret;
}

static void ostrel_still_output_class_init(OstrelStillOutputClass* klass) {
  GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
  element_class->change_state = still_change_state;
  element_class->send_event = still_send_event;
  GstCaps* caps = virtualcam::AllCameraCaps();
  gst_element_class_add_pad_template(
      element_class, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
  gst_caps_unref(caps);
  gst_element_class_set_static_metadata(element_class, "Virtual camera still output",
                                        "Source/Video", "The still pad of a virtual camera",
                                        "Ostrel");
}

static void ostrel_still_output_init(OstrelStillOutput* self) {
  self->gap_requested = 1;
  self->latency = 0;
  GstPadTemplate* templ = gst_element_class_get_pad_template(GST_ELEMENT_GET_CLASS(self), "src");
  self->src = gst_pad_new_from_template(templ, "src");
  gst_pad_set_event_function(self->src, still_src_event);
  gst_pad_set_query_function(self->src, still_src_query);
  gst_pad_use_fixed_caps(self->src);
  gst_element_add_pad(GST_ELEMENT(self), self->src);
  GST_OBJECT_FLAG_SET(self, GST_ELEMENT_FLAG_SOURCE);
}
