// The media factory, the capture graph builder and device enumeration on GStreamer.
#include "platform/gst/gst_media_factory.h"

#include <gst/gst.h>

#include <atomic>
#include <cctype>

#include "platform/gst/clip_repairer.h"
#include "platform/gst/device_description.h"
#include "platform/gst/device_filter.h"
#include "platform/gst/gst_graph.h"
#include "platform/gst/pipewire_provider.h"
#include "platform/gst/stock_filters.h"

namespace media::gst {
namespace {

bool PinMatches(const Pin& pin, PinDirection direction, PinCategory category, MajorType major,
                bool unconnectedOnly) {
  if (pin.Direction() != direction) return false;
  if (category != PinCategory::Any && pin.Category() != category) return false;
  if (major != MajorType::Any && pin.Major() != MajorType::Any && pin.Major() != major)
    return false;
  return !unconnectedOnly || !pin.ConnectedTo();
}

// Ostrel's own virtual devices mark themselves; every other device is a real one.
bool IsOwnVirtualDevice(GstDevice* device) {
  GstStructure* props = gst_device_get_properties(device);
  gboolean isVirtual = FALSE;
  if (props) {
    gst_structure_get_boolean(props, "ostrel.virtual", &isVirtual);
    gst_structure_free(props);
  }
  return isVirtual;
}

std::shared_ptr<Pin> FirstFreePin(Filter& filter, PinDirection direction) {
  std::vector<std::shared_ptr<Pin>> pins;
  filter.EnumPins(pins);
  for (const auto& pin : pins)
    if (pin->Direction() == direction && !pin->ConnectedTo()) return pin;
  return nullptr;
}

class Builder : public CaptureGraphBuilder {
 public:
  Status SetFiltergraph(const std::shared_ptr<Graph>& graph) override {
    if (!graph) return kInvalidArgument;
    graph_ = graph;
    return kOk;
  }

  Status FindPin(Filter& filter, PinDirection direction, PinCategory category, MajorType major,
                 bool unconnectedOnly, int index, std::shared_ptr<Pin>& pin) override {
    pin.reset();
    std::vector<std::shared_ptr<Pin>> pins;
    filter.EnumPins(pins);
    for (const auto& p : pins) {
      if (!PinMatches(*p, direction, category, major, unconnectedOnly)) continue;
      if (index-- == 0) {
        pin = p;
        return kOk;
      }
    }
    return kFail;
  }

  Status FindStreamConfig(PinCategory category, MajorType major, Filter& filter,
                          std::shared_ptr<StreamConfig>& config) override {
    config.reset();
    auto* device = dynamic_cast<GstDeviceFilter*>(&filter);
    // Cameras here carry no interleaved stream.
    if (!device || category != PinCategory::Capture || major == MajorType::Interleaved ||
        (major != MajorType::Any && major != device->Major()))
      return kFail;
    config = device->CaptureStreamConfig();
    return config ? kOk : kFail;
  }

  Status FindFrameCounters(PinCategory category, MajorType major, Filter& filter,
                           std::shared_ptr<FrameCounters>& counters) override {
    counters.reset();
    auto* device = dynamic_cast<GstDeviceFilter*>(&filter);
    if (!device || category != PinCategory::Capture || major == MajorType::Interleaved ||
        (major != MajorType::Any && major != device->Major()))
      return kFail;
    counters = device->CaptureFrameCounters();
    return counters ? kOk : kFail;
  }

  Status RenderStream(PinCategory category, MajorType major, Filter& source, Filter* intermediate,
                      Filter* sink) override {
    if (!graph_) return kFail;
    std::shared_ptr<Pin> out;
    if (!Succeeded(FindPin(source, PinDirection::Output, category, major, true, 0, out)))
      return kFail;
    if (intermediate) {
      std::shared_ptr<Pin> in = FirstFreePin(*intermediate, PinDirection::Input);
      if (!in || !Succeeded(graph_->Connect(*out, *in))) return kFail;
      if (!sink) return kOk;
      out = FirstFreePin(*intermediate, PinDirection::Output);
      if (!out) return kFail;
    }
    if (!sink) return kFail;
    std::shared_ptr<Pin> in = FirstFreePin(*sink, PinDirection::Input);
    if (!in) return kFail;
    return graph_->Connect(*out, *in);
  }

 private:
  std::shared_ptr<Graph> graph_;
};

class Moniker : public DeviceMoniker {
 public:
  explicit Moniker(GstDevice* device) : device_(GST_DEVICE(gst_object_ref(device))) {}
  ~Moniker() override { gst_object_unref(device_); }

  Status ReadFriendlyName(std::string& name) override {
    gchar* display = gst_device_get_display_name(device_);
    const bool readable = display && display[0];
    if (readable) name = display;
    g_free(display);
    return readable ? kOk : kFail;
  }
  std::shared_ptr<Filter> BindToFilter() override { return GstDeviceFilter::Create(device_); }
  DeviceDescription Describe() override { return DescribeDevice(device_); }

 private:
  GstDevice* device_;
};

class Enumerator : public DeviceEnumerator {
 public:
  explicit Enumerator(std::string provider) : provider_(std::move(provider)) {}
  ~Enumerator() override {
    if (watchedBus_) {
      gst_bus_set_sync_handler(watchedBus_, nullptr, nullptr, nullptr);
      gst_object_unref(watchedBus_);
    }
    if (watchedProvider_) {
      gst_device_provider_stop(watchedProvider_);
      gst_object_unref(watchedProvider_);
    }
    if (monitor_) {
      gst_device_monitor_stop(monitor_);
      gst_object_unref(monitor_);
    }
  }

  bool WatchChanges() override {
    if (watchedBus_) return true;
    if (provider_.empty() || provider_ == "pipewiredeviceprovider") KeepPipeWireProviderRunning();
    if (!provider_.empty()) {
      watchedProvider_ = gst_device_provider_factory_get_by_name(provider_.c_str());
      if (!watchedProvider_) return false;
      watchedBus_ = gst_device_provider_get_bus(watchedProvider_);
      gst_bus_set_sync_handler(watchedBus_, OnDeviceMessage, this, nullptr);
      return gst_device_provider_start(watchedProvider_);
    }
    monitor_ = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor_, "Video/Source", nullptr);
    gst_device_monitor_add_filter(monitor_, "Audio/Source", nullptr);
    // A started PipeWire provider would hide the V4L2 and Pulse copies it supersedes.
    g_object_set(monitor_, "show-all", TRUE, nullptr);
    watchedBus_ = gst_device_monitor_get_bus(monitor_);
    gst_bus_set_sync_handler(watchedBus_, OnDeviceMessage, this, nullptr);
    return gst_device_monitor_start(monitor_);
  }
  bool DevicesChanged() override { return changed_.exchange(false); }

  Status CreateClassEnumerator(DeviceCategory category,
                               std::vector<std::shared_ptr<DeviceMoniker>>& devices) override {
    devices.clear();
    const char* klass = category == DeviceCategory::VideoInput ? "Video/Source" : "Audio/Source";
    GList* list = nullptr;
    if (!provider_.empty()) {
      GstDeviceProvider* provider = gst_device_provider_factory_get_by_name(provider_.c_str());
      if (!provider) return kFail;
      list = gst_device_provider_get_devices(provider);
      gst_object_unref(provider);
    } else {
      // Every provider's list, as a monitor that is never started gives it (no provider
      // hides another's copies); a monitor made here would take over the providers' buses
      // from the one that watches for changes.
      GList* factories = gst_device_provider_factory_list_get_device_providers(GST_RANK_MARGINAL);
      for (GList* f = factories; f; f = f->next) {
        auto* factory = GST_DEVICE_PROVIDER_FACTORY(f->data);
        if (!gst_device_provider_factory_has_classes(factory, klass)) continue;
        GstDeviceProvider* provider = gst_device_provider_factory_get(factory);
        if (!provider) continue;
        list = g_list_concat(list, gst_device_provider_get_devices(provider));
        gst_object_unref(provider);
      }
      gst_plugin_feature_list_free(factories);
    }
    // Real devices first, so that a camera present is the default choice over the
    // virtual one; each group keeps the order the system lists it in.
    for (bool virtualPass : {false, true}) {
      for (GList* l = list; l; l = l->next) {
        GstDevice* device = GST_DEVICE(l->data);
        if (gst_device_has_classes(device, klass) && IsOwnVirtualDevice(device) == virtualPass)
          devices.push_back(std::make_shared<Moniker>(device));
      }
    }
    g_list_free_full(list, gst_object_unref);
    return devices.empty() ? kFalse : kOk;
  }

 private:
  // Runs on the provider's thread: only a flag for the user-interface thread.
  static GstBusSyncReply OnDeviceMessage(GstBus*, GstMessage* message, gpointer self) {
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_DEVICE_ADDED:
      case GST_MESSAGE_DEVICE_REMOVED:
      case GST_MESSAGE_DEVICE_CHANGED:
        static_cast<Enumerator*>(self)->changed_ = true;
        break;
      default:
        break;
    }
    return GST_BUS_DROP;
  }

  std::string provider_;
  GstDeviceMonitor* monitor_ = nullptr;
  GstDeviceProvider* watchedProvider_ = nullptr;
  GstBus* watchedBus_ = nullptr;
  std::atomic<bool> changed_{false};
};

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

GstMediaFactory::GstMediaFactory(std::string deviceProvider)
    : deviceProvider_(std::move(deviceProvider)) {
  if (!gst_is_initialized()) gst_init(nullptr, nullptr);
  makers_[clsid::kSmartTee] = [] { return MakeSmartTee(); };
  makers_[clsid::kSampleGrabber] = [] { return MakeSampleGrabber(); };
  makers_[clsid::kNullRenderer] = [] { return MakeNullRenderer(); };
  makers_[clsid::kVideoRenderer] = [] { return MakeVideoRenderer(); };
  makers_[clsid::kAviMux] = [] { return MakeAviMux(); };
  makers_[clsid::kFileWriter] = [] { return MakeFileWriter(); };
  makers_[clsid::kWmAsfWriter] = [] { return MakeAsfWriter(); };
  makers_[clsid::kVideoTransfer] = [] { return MakeTransferFilter(); };
}

std::shared_ptr<Graph> GstMediaFactory::CreateGraph() { return std::make_shared<GstGraph>(); }

std::shared_ptr<CaptureGraphBuilder> GstMediaFactory::CreateCaptureGraphBuilder() {
  return std::make_shared<Builder>();
}

std::shared_ptr<DeviceEnumerator> GstMediaFactory::CreateDeviceEnumerator() {
  return std::make_shared<Enumerator>(deviceProvider_);
}

std::shared_ptr<ClipRepairer> GstMediaFactory::CreateClipRepairer() {
  return std::make_shared<GstClipRepairer>();
}

std::shared_ptr<Filter> GstMediaFactory::CreateFilter(const std::string& classId) {
  auto it = makers_.find(Upper(classId));
  if (it == makers_.end()) return nullptr;
  return it->second();
}

void GstMediaFactory::RegisterFilter(const std::string& classId, FilterMaker maker) {
  makers_[Upper(classId)] = std::move(maker);
}

}  // namespace media::gst
