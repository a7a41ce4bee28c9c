// Filters and pins on GStreamer bins and ghost pads.
#include "platform/gst/gst_filter.h"

#include "platform/gst/caps_mapping.h"
#include "platform/gst/colour_converter.h"

namespace media::gst {
namespace {

GQuark PinQuark() {
  static const GQuark q = g_quark_from_static_string("ostrel-pin");
  return q;
}

// The size and rate of the frames that will reach an input: the fixed format of the
// nearest upstream output that has one (converters keep the size).
bool UpstreamFormat(GstPad* input, gint& width, gint& height, gint& num, gint& den) {
  GstPad* pad = GST_PAD(gst_object_ref(input));
  for (int depth = 0; depth < 16; ++depth) {
    GstPad* peer = gst_pad_get_peer(pad);
    gst_object_unref(pad);
    if (!peer) return false;
    std::shared_ptr<GstPin> pin = GstPin::FromPad(peer);
    std::shared_ptr<GstFilter> owner = pin ? pin->OwnerFilter() : nullptr;
    GstCaps* caps = owner ? owner->OutputFormat(*pin) : nullptr;
    if (!caps) caps = gst_pad_query_caps(peer, nullptr);
    gst_object_unref(peer);
    bool found = false;
    if (!gst_caps_is_empty(caps) && !gst_caps_is_any(caps)) {
      const GstStructure* s = gst_caps_get_structure(caps, 0);
      found =
          gst_structure_get_int(s, "width", &width) && gst_structure_get_int(s, "height", &height);
      if (found && !gst_structure_get_fraction(s, "framerate", &num, &den)) num = 0;
    }
    gst_caps_unref(caps);
    if (found) return true;
    if (!owner) return false;
    std::vector<std::shared_ptr<Pin>> pins;
    owner->EnumPins(pins);
    pad = nullptr;
    for (const auto& p : pins)
      if (p->Direction() == PinDirection::Input) {
        pad = GST_PAD(gst_object_ref(static_cast<GstPin&>(*p).Pad()));
        break;
      }
    if (!pad) return false;
  }
  gst_object_unref(pad);
  return false;
}

// An output with nothing connected discards its frames instead of stopping the stream.
GstPadProbeReturn DropWhenUnlinked(GstPad*, GstPadProbeInfo*, gpointer ghost) {
  return gst_pad_is_linked(GST_PAD(ghost)) ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
}

}  // namespace

GstPin::GstPin(GstPad* ghost, PinDirection direction, PinCategory category, MajorType major,
               std::weak_ptr<GstFilter> owner)
    : pad_(GST_PAD(gst_object_ref(ghost))),
      direction_(direction),
      category_(category),
      major_(major),
      owner_(std::move(owner)) {
  g_object_set_qdata(G_OBJECT(pad_), PinQuark(), this);
}

GstPin::~GstPin() {
  g_object_set_qdata(G_OBJECT(pad_), PinQuark(), nullptr);
  gst_object_unref(pad_);
}

std::shared_ptr<GstPin> GstPin::FromPad(GstPad* pad) {
  if (!pad) return nullptr;
  auto* pin = static_cast<GstPin*>(g_object_get_qdata(G_OBJECT(pad), PinQuark()));
  if (!pin) return nullptr;
  return pin->weak_from_this().lock();
}

std::string GstPin::Name() const {
  gchar* name = gst_pad_get_name(pad_);
  std::string result = name ? name : "";
  g_free(name);
  return result;
}

std::shared_ptr<Pin> GstPin::ConnectedTo() const {
  GstPad* peer = gst_pad_get_peer(pad_);
  if (!peer) return nullptr;
  std::shared_ptr<GstPin> pin = FromPad(peer);
  gst_object_unref(peer);
  return pin;
}

std::shared_ptr<Filter> GstPin::Owner() const { return owner_.lock(); }

bool GstPin::CurrentMediaType(MediaType& type) const {
  // Negotiated caps when the stream has run; before that, what the link will carry.
  GstCaps* caps = gst_pad_get_current_caps(pad_);
  if (!caps) {
    GstCaps* possible = gst_pad_is_linked(pad_) ? gst_pad_peer_query_caps(pad_, nullptr)
                                                : gst_pad_query_caps(pad_, nullptr);
    GstCaps* own = gst_pad_query_caps(pad_, nullptr);
    GstCaps* both = gst_caps_intersect(possible, own);
    gst_caps_unref(possible);
    gst_caps_unref(own);
    if (gst_caps_is_empty(both) || gst_caps_is_any(both)) {
      gst_caps_unref(both);
      return false;
    }
    gint w = 0, h = 0, num = 0, den = 1;
    if (direction_ == PinDirection::Input && UpstreamFormat(pad_, w, h, num, den)) {
      both = gst_caps_truncate(both);
      GstStructure* s = gst_caps_get_structure(both, 0);
      gst_structure_fixate_field_nearest_int(s, "width", w);
      gst_structure_fixate_field_nearest_int(s, "height", h);
      if (num > 0) gst_structure_fixate_field_nearest_fraction(s, "framerate", num, den);
    }
    caps = gst_caps_fixate(both);
  }
  type = MediaTypeFromCaps(caps);
  gst_caps_unref(caps);
  return !type.IsEmpty();
}

GstFilter::GstFilter(std::string classId, GstElement* bin)
    : classId_(std::move(classId)), bin_(GST_ELEMENT(gst_object_ref_sink(bin))) {}

GstFilter::~GstFilter() {
  pins_.clear();
  if (GST_OBJECT_PARENT(bin_)) {
    GstBin* parent = GST_BIN(GST_OBJECT_PARENT(bin_));
    gst_element_set_locked_state(bin_, FALSE);
    gst_element_set_state(bin_, GST_STATE_NULL);
    gst_bin_remove(parent, bin_);
  } else {
    gst_element_set_state(bin_, GST_STATE_NULL);
  }
  gst_object_unref(bin_);
}

std::string GstFilter::Name() const {
  if (!GST_OBJECT_PARENT(bin_)) return "";
  gchar* name = gst_element_get_name(bin_);
  std::string result = name ? name : "";
  g_free(name);
  return result;
}

Status GstFilter::EnumPins(std::vector<std::shared_ptr<Pin>>& pins) {
  pins.assign(pins_.begin(), pins_.end());
  return kOk;
}

bool GstFilter::HasConnectedPin() const {
  for (const auto& pin : pins_)
    if (gst_pad_is_linked(pin->Pad())) return true;
  return false;
}

std::shared_ptr<GstPin> GstFilter::AddPin(const char* name, GstPad* target, PinDirection direction,
                                          PinCategory category, MajorType major) {
  GstPad* ghost = target ? gst_ghost_pad_new(name, target)
                         : gst_ghost_pad_new_no_target(
                               name, direction == PinDirection::Input ? GST_PAD_SINK : GST_PAD_SRC);
  gst_pad_set_active(ghost, TRUE);
  gst_element_add_pad(bin_, ghost);
  if (target && direction == PinDirection::Output)
    gst_pad_add_probe(
        target,
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
        DropWhenUnlinked, ghost, nullptr);
  auto pin = std::make_shared<GstPin>(ghost, direction, category, major, weak_from_this());
  pins_.push_back(pin);
  return pin;
}

std::shared_ptr<GstFilter> MakeChainFilter(const std::string& classId,
                                           const std::vector<std::string>& elements) {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* first = nullptr;
  GstElement* last = nullptr;
  for (const std::string& factory : elements) {
    GstElement* e = factory == kColourConverter
                        ? MakeColourConverter()
                        : gst_element_factory_make(factory.c_str(), nullptr);
    if (!e) {
      gst_object_unref(gst_object_ref_sink(bin));
      return nullptr;
    }
    gst_bin_add(GST_BIN(bin), e);
    if (last) gst_element_link(last, e);
    if (!first) first = e;
    last = e;
  }
  if (!first) {
    gst_object_unref(gst_object_ref_sink(bin));
    return nullptr;
  }
  auto filter = std::make_shared<GstFilter>(classId, bin);
  GstPad* sink = gst_element_get_static_pad(first, "sink");
  GstPad* src = gst_element_get_static_pad(last, "src");
  GstCaps* tmpl = gst_pad_get_pad_template_caps(src);
  const MajorType major = MajorOfCaps(tmpl);
  gst_caps_unref(tmpl);
  filter->AddPin("In", sink, PinDirection::Input, PinCategory::None, major);
  filter->AddPin("Out", src, PinDirection::Output, PinCategory::None, major);
  gst_object_unref(sink);
  gst_object_unref(src);
  return filter;
}

std::shared_ptr<GstFilter> WrapElement(const std::string& classId, GstElement* element) {
  GstElement* bin = gst_bin_new(nullptr);
  gst_bin_add(GST_BIN(bin), element);
  auto filter = std::make_shared<GstFilter>(classId, bin);
  GstIterator* it = gst_element_iterate_pads(element);
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    GstPad* pad = GST_PAD(g_value_get_object(&item));
    gchar* name = gst_pad_get_name(pad);
    const bool input = GST_PAD_DIRECTION(pad) == GST_PAD_SINK;
    GstCaps* tmpl = gst_pad_get_pad_template_caps(pad);
    filter->AddPin(name, pad, input ? PinDirection::Input : PinDirection::Output, PinCategory::None,
                   MajorOfCaps(tmpl));
    gst_caps_unref(tmpl);
    g_free(name);
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return filter;
}

}  // namespace media::gst
