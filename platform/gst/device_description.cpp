// A device's provider, node, card and kind from its type and its properties (V4L2's
// device.path, PipeWire's api.v4l2.path and object.path, the sound servers' alsa.card,
// node.name and device.class).
#include "platform/gst/device_description.h"

#include <cctype>
#include <string>

#include "platform/linux/device_identity.h"

namespace media::gst {
namespace {

std::string Property(const GstStructure* props, const char* key) {
  if (!props || !gst_structure_has_field(props, key)) return {};
  const GValue* value = gst_structure_get_value(props, key);
  if (G_VALUE_HOLDS_STRING(value))
    return g_value_get_string(value) ? g_value_get_string(value) : "";
  GValue text = G_VALUE_INIT;
  g_value_init(&text, G_TYPE_STRING);
  std::string out;
  if (g_value_transform(value, &text) && g_value_get_string(&text)) out = g_value_get_string(&text);
  g_value_unset(&text);
  return out;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

DeviceDescription::Provider ProviderOf(GstDevice* device) {
  const std::string type = Lower(G_OBJECT_TYPE_NAME(device));
  using P = DeviceDescription::Provider;
  if (type.find("v4l2") != std::string::npos) return P::V4l2;
  if (type.find("pipewire") != std::string::npos) return P::PipeWire;
  if (type.find("pulse") != std::string::npos) return P::Pulse;
  if (type.find("alsa") != std::string::npos) return P::Alsa;
  return P::Other;
}

// The card of an ALSA device string such as "hw:0,0", "plughw:1" or "hw:CARD=PCH,DEV=0".
std::string CardOfAlsaName(const std::string& name) {
  const size_t colon = name.find(':');
  if (colon == std::string::npos) return {};
  std::string card = name.substr(colon + 1);
  if (card.rfind("CARD=", 0) == 0) card = card.substr(5);
  return card.substr(0, card.find(','));
}

std::string StringProperty(GstDevice* device, const char* name) {
  if (!g_object_class_find_property(G_OBJECT_GET_CLASS(device), name)) return {};
  gchar* value = nullptr;
  g_object_get(device, name, &value, nullptr);
  std::string out = value ? value : "";
  g_free(value);
  return out;
}

bool MakesSourceElement(GstDevice* device) {
  GstElement* element = gst_device_create_element(device, nullptr);
  if (!element) return false;
  bool source = false;
  for (GList* l = GST_ELEMENT_CLASS(G_OBJECT_GET_CLASS(element))->padtemplates; l; l = l->next)
    source = source || GST_PAD_TEMPLATE_DIRECTION(GST_PAD_TEMPLATE(l->data)) == GST_PAD_SRC;
  gst_object_unref(gst_object_ref_sink(element));
  return source;
}

// A camera by its node, whichever provider lists it, so that its PipeWire copy is the
// same camera as its V4L2 one; anything else by the sound server's or PipeWire's node name
// (a Pulse source and its PipeWire copy share it), or by its ALSA card.
std::string IdentityOf(GstDevice* device, const DeviceDescription& d, bool virtualDevice) {
  if (virtualDevice) {
    gchar* name = gst_device_get_display_name(device);
    std::string identity = std::string("virtual:") + (name ? name : "");
    g_free(name);
    return identity;
  }
  if (!d.node.empty()) return platform::CameraIdentity(d.node);
  if (!d.soundName.empty()) return "node:" + d.soundName;
  return platform::SoundCardIdentity(d.card);
}

}  // namespace

DeviceDescription DescribeDevice(GstDevice* device) {
  DeviceDescription d;
  d.provider = ProviderOf(device);
  GstStructure* props = gst_device_get_properties(device);
  d.node = Property(props, "device.path");
  if (d.node.empty()) d.node = Property(props, "api.v4l2.path");
  if (d.node.empty()) {
    const std::string path = Property(props, "object.path");
    if (path.rfind("v4l2:", 0) == 0) d.node = path.substr(5);
  }
  // Only cameras have nodes here; an ALSA device's device.path is no camera node.
  if (d.node.rfind("/dev/video", 0) != 0) d.node.clear();
  d.card = Property(props, "alsa.card");
  if (d.card.empty()) d.card = Property(props, "api.alsa.card");
  const std::string internal = StringProperty(device, "internal-name");
  if (d.card.empty() && d.provider == DeviceDescription::Provider::Alsa)
    d.card = CardOfAlsaName(internal);
  d.soundName = Property(props, "node.name");
  if (d.soundName.empty() && d.provider == DeviceDescription::Provider::Pulse)
    d.soundName = internal;
  d.monitor = Property(props, "device.class") == "monitor";
  d.stream = Property(props, "media.class").rfind("Stream/", 0) == 0;
  gboolean virtualDevice = FALSE;
  if (props) gst_structure_get_boolean(props, "ostrel.virtual", &virtualDevice);
  d.identity = IdentityOf(device, d, virtualDevice);
  if (props) gst_structure_free(props);
  d.hasSourcePad = MakesSourceElement(device);
  return d;
}

}  // namespace media::gst
