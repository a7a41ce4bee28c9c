// The device provider that lists the configured virtual cameras and microphones; each
// probe reads the configuration afresh, so every monitor start sees the latest one.
#include "device_provider.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "camera_caps.h"
#include "device_config.h"

struct _OstrelVirtualDevice {
  GstDevice parent;
  gboolean camera;
  gboolean plain;  // a camera without picture controls
  int index;
};

G_DEFINE_TYPE(OstrelVirtualDevice, ostrel_virtual_device, GST_TYPE_DEVICE)

static GstElement* device_create_element(GstDevice* device, const gchar* name) {
  auto* self = OSTREL_VIRTUAL_DEVICE(device);
  const char* factory = !self->camera ? "ostrelvirtualmicsrc"
                        : self->plain ? "ostrelvirtualcamsrcplain"
                                      : "ostrelvirtualcamsrc";
  const char* names[] = {self->camera ? "camera-index" : "microphone-index"};
  GValue values[1] = {G_VALUE_INIT};
  g_value_init(&values[0], G_TYPE_INT);
  g_value_set_int(&values[0], self->index);
  GstElement* element = gst_element_factory_make_with_properties(factory, 1, names, values);
  g_value_unset(&values[0]);
  if (element && name) gst_object_set_name(GST_OBJECT(element), name);
  return element;
}

static void ostrel_virtual_device_class_init(OstrelVirtualDeviceClass* klass) {
  GST_DEVICE_CLASS(klass)->create_element = device_create_element;
}

static void ostrel_virtual_device_init(OstrelVirtualDevice*) {}

static GstDevice* make_device(bool camera, int index, const char* name, GstCaps* caps,
                              GstStructure* props, bool plain) {
  gst_structure_set(props, "ostrel.virtual", G_TYPE_BOOLEAN, TRUE, "ostrel.index", G_TYPE_INT,
                    index, "device.api", G_TYPE_STRING, "ostrelvirtual", nullptr);
  auto* device = OSTREL_VIRTUAL_DEVICE(g_object_new(
      OSTREL_TYPE_VIRTUAL_DEVICE, "display-name", name, "device-class",
      camera ? "Video/Source" : "Audio/Source", "caps", caps, "properties", props, nullptr));
  device->camera = camera;
  device->plain = plain;
  device->index = index;
  gst_caps_unref(caps);
  gst_structure_free(props);
  return GST_DEVICE(device);
}

struct _OstrelVirtualDeviceProvider {
  GstDeviceProvider parent;
  std::thread* plugWatch;
  std::atomic<bool>* stopping;
};

// The plug file: a whole program under test unplugs every virtual camera by removing the
// file the variable names, and plugs them in again by creating it.
static bool cameras_plugged() {
  const char* plug = g_getenv("OSTREL_VIRTUAL_CAMERA_PLUG");
  return !plug || !*plug || g_file_test(plug, G_FILE_TEST_EXISTS);
}

G_DEFINE_TYPE(OstrelVirtualDeviceProvider, ostrel_virtual_device_provider, GST_TYPE_DEVICE_PROVIDER)

static GList* provider_probe(GstDeviceProvider*) {
  GList* devices = nullptr;
  auto cameras = virtualcam::ConfiguredCameras();
  if (!cameras_plugged()) cameras.clear();
  for (size_t i = 0; i < cameras.size(); ++i) {
    const auto& c = cameras[i];
    GstStructure* props = gst_structure_new(
        "ostrelvirtualdevice", "ostrel.top-down", G_TYPE_BOOLEAN, c.topDown, "ostrel.has-still-pin",
        G_TYPE_BOOLEAN, c.hasStillPin, "ostrel.has-picture-controls", G_TYPE_BOOLEAN,
        c.hasPictureControls, nullptr);
    devices = g_list_append(
        devices, make_device(true, static_cast<int>(i), c.nameUnreadable ? "" : c.name.c_str(),
                             virtualcam::CameraCaps(c), props, !c.hasPictureControls));
  }
  const auto microphones = virtualcam::ConfiguredMicrophones();
  GstCaps* micCaps = gst_caps_from_string(
      "audio/x-raw, format=(string)S16LE, layout=(string)interleaved, "
      "rate=(int){ 48000, 44100 }, channels=(int)2");
  for (size_t i = 0; i < microphones.size(); ++i) {
    const auto& m = microphones[i];
    devices = g_list_append(
        devices,
        make_device(false, static_cast<int>(i), m.nameUnreadable ? "" : m.name.c_str(),
                    gst_caps_copy(micCaps), gst_structure_new_empty("ostrelvirtualdevice"), false));
  }
  gst_caps_unref(micCaps);
  return devices;
}

static bool is_camera(gpointer device) { return OSTREL_VIRTUAL_DEVICE(device)->camera; }

// Adds the cameras when they are plugged and removes them when they are not, as a
// provider of real cameras does on hotplug.
static void follow_plug(GstDeviceProvider* provider, bool plugged) {
  GList* listed = gst_device_provider_get_devices(provider);
  bool camerasListed = false;
  for (GList* l = listed; l; l = l->next) camerasListed = camerasListed || is_camera(l->data);
  if (camerasListed && !plugged) {
    for (GList* l = listed; l; l = l->next)
      if (is_camera(l->data)) gst_device_provider_device_remove(provider, GST_DEVICE(l->data));
  } else if (!camerasListed && plugged) {
    GList* probed = provider_probe(provider);
    for (GList* l = probed; l; l = l->next) {
      if (is_camera(l->data))
        gst_device_provider_device_add(provider, GST_DEVICE(l->data));
      else
        gst_object_unref(gst_object_ref_sink(l->data));
    }
    g_list_free(probed);
  }
  g_list_free_full(listed, gst_object_unref);
}

static gboolean provider_start(GstDeviceProvider* provider) {
  auto* self = OSTREL_VIRTUAL_DEVICE_PROVIDER(provider);
  GList* probed = provider_probe(provider);
  for (GList* l = probed; l; l = l->next)
    gst_device_provider_device_add(provider, GST_DEVICE(l->data));
  g_list_free(probed);
  const char* plug = g_getenv("OSTREL_VIRTUAL_CAMERA_PLUG");
  if (!plug || !*plug) return TRUE;
  self->stopping = new std::atomic<bool>(false);
  self->plugWatch = new std::thread([provider, stopping = self->stopping] {
    bool plugged = cameras_plugged();
    while (!stopping->load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      const bool now = cameras_plugged();
      if (now != plugged) follow_plug(provider, now);
      plugged = now;
    }
  });
  return TRUE;
}

static void provider_stop(GstDeviceProvider* provider) {
  auto* self = OSTREL_VIRTUAL_DEVICE_PROVIDER(provider);
  if (self->plugWatch) {
    self->stopping->store(true);
    self->plugWatch->join();
    delete self->plugWatch;
    delete self->stopping;
    self->plugWatch = nullptr;
    self->stopping = nullptr;
  }
  // The base class drops the devices it was given.
}

static void ostrel_virtual_device_provider_class_init(OstrelVirtualDeviceProviderClass* klass) {
  GstDeviceProviderClass* provider_class = GST_DEVICE_PROVIDER_CLASS(klass);
  provider_class->probe = provider_probe;
  provider_class->start = provider_start;
  provider_class->stop = provider_stop;
  gst_device_provider_class_set_static_metadata(
      provider_class, "Ostrel virtual device provider", "Source/Video/Audio",
      "Lists Ostrel's virtual cameras and microphones", "Ostrel");
}

static void ostrel_virtual_device_provider_init(OstrelVirtualDeviceProvider* self) {
  self->plugWatch = nullptr;
  self->stopping = nullptr;
}
