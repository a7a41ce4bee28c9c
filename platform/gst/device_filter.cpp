// The capture device filter: source element, current format, still pin, picture
// controls and frame counters.
#include "platform/gst/device_filter.h"

#include <gst/app/gstappsrc.h>
#include <gst/video/colorbalance.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gst/caps_mapping.h"
#include "platform/gst/picture_settings.h"
#include "platform/gst/v4l2_controls.h"
#include "platform/gst/v4l2_current_mode.h"
#include "platform/linux/camera_button_watcher.h"

namespace media::gst {
namespace {

// The six picture properties: the element's property names and colour-balance labels.
constexpr const char* kPictureNames[] = {"brightness", "contrast",  "hue",
                                         "saturation", "sharpness", "gamma"};
constexpr const char* kPictureTitles[] = {"Brightness", "Contrast",  "Hue",
                                          "Saturation", "Sharpness", "Gamma"};

GParamSpecInt* IntProperty(GObject* object, const char* name) {
  if (!object) return nullptr;
  GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(object), name);
  if (!spec || !G_IS_PARAM_SPEC_INT(spec)) return nullptr;
  return G_PARAM_SPEC_INT(spec);
}

GstColorBalanceChannel* BalanceChannel(GstElement* element, const char* name) {
  if (!element || !GST_IS_COLOR_BALANCE(element)) return nullptr;
  for (const GList* l = gst_color_balance_list_channels(GST_COLOR_BALANCE(element)); l;
       l = l->next) {
    auto* channel = GST_COLOR_BALANCE_CHANNEL(l->data);
    if (channel->label && g_ascii_strcasecmp(channel->label, name) == 0) return channel;
    if (channel->label && g_strrstr(channel->label, name)) return channel;
    gchar* upper = g_ascii_strup(name, -1);
    const bool match = channel->label && g_strrstr(channel->label, upper);
    g_free(upper);
    if (match) return channel;
  }
  return nullptr;
}

bool HasProperty(GObject* object, const char* name) {
  return object && g_object_class_find_property(G_OBJECT_GET_CLASS(object), name);
}

// A V4L2 device whose driver streams through buffers, as the provider found it; a driver
// that offers read() alone is left to v4l2src's own choice.
bool StreamsThroughBuffers(GstDevice* device) {
  GstStructure* props = gst_device_get_properties(device);
  guint caps = 0;
  const bool known = props && gst_structure_get_uint(props, "v4l2.device.device_caps", &caps);
  if (props) gst_structure_free(props);
  return known && (caps & V4L2_CAP_STREAMING);
}

}  // namespace

std::string V4l2NodeOf(GstElement* source) {
  GstElementFactory* factory = source ? gst_element_get_factory(source) : nullptr;
  if (!factory || std::strcmp(GST_OBJECT_NAME(factory), "v4l2src") != 0) return {};
  gchar* path = nullptr;
  g_object_get(source, "device", &path, nullptr);
  std::string node = path ? path : "";
  g_free(path);
  return node;
}

namespace {

class DeviceProcAmp : public VideoProcAmp {
 public:
  explicit DeviceProcAmp(std::shared_ptr<GstDeviceFilter> f) : filter_(std::move(f)) {}

  Status Set(VideoProcAmpProperty property, int32_t value, int32_t /*flags*/) override {
    const char* name = kPictureNames[static_cast<int>(property)];
    if (GParamSpecInt* spec = IntProperty(filter_->PictureObject(), name)) {
      if (value < spec->minimum || value > spec->maximum) return kInvalidArgument;
      g_object_set(filter_->PictureObject(), name, value, nullptr);
      return kOk;
    }
    if (GstColorBalanceChannel* ch = BalanceChannel(filter_->Source(), name)) {
      if (value < ch->min_value || value > ch->max_value) return kInvalidArgument;
      gst_color_balance_set_value(GST_COLOR_BALANCE(filter_->Source()), ch, value);
      return kOk;
    }
    // A V4L2 camera takes its controls when it opens.
    GObject* src = G_OBJECT(filter_->Source());
    if (HasProperty(src, "extra-controls")) {
      GstStructure* controls = nullptr;
      g_object_get(src, "extra-controls", &controls, nullptr);
      if (!controls) controls = gst_structure_new_empty("controls");
      gst_structure_set(controls, name, G_TYPE_INT, value, nullptr);
      g_object_set(src, "extra-controls", controls, nullptr);
      gst_structure_free(controls);
      return kOk;
    }
    return kNotImplemented;
  }

  Status Get(VideoProcAmpProperty property, int32_t& value) override {
    const char* name = kPictureNames[static_cast<int>(property)];
    if (IntProperty(filter_->PictureObject(), name)) {
      gint v = 0;
      g_object_get(filter_->PictureObject(), name, &v, nullptr);
      value = v;
      return kOk;
    }
    if (GstColorBalanceChannel* ch = BalanceChannel(filter_->Source(), name)) {
      value = gst_color_balance_get_value(GST_COLOR_BALANCE(filter_->Source()), ch);
      return kOk;
    }
    GObject* src = G_OBJECT(filter_->Source());
    if (HasProperty(src, "extra-controls")) {
      GstStructure* controls = nullptr;
      g_object_get(src, "extra-controls", &controls, nullptr);
      gint v = 0;
      const bool found = controls && gst_structure_get_int(controls, name, &v);
      if (controls) gst_structure_free(controls);
      if (found) value = v;
      return found ? kOk : kFail;
    }
    return kNotImplemented;
  }

  Status GetRange(VideoProcAmpProperty property, int32_t& minimum, int32_t& maximum, int32_t& step,
                  int32_t& defaultValue) override {
    const char* name = kPictureNames[static_cast<int>(property)];
    step = 1;
    if (GParamSpecInt* spec = IntProperty(filter_->PictureObject(), name)) {
      minimum = spec->minimum;
      maximum = spec->maximum;
      defaultValue = spec->default_value;
      return kOk;
    }
    if (GstColorBalanceChannel* ch = BalanceChannel(filter_->Source(), name)) {
      minimum = ch->min_value;
      maximum = ch->max_value;
      defaultValue = (minimum + maximum) / 2;
      return kOk;
    }
    return kNotImplemented;
  }

 private:
  std::shared_ptr<GstDeviceFilter> filter_;
};

class ProcAmpPages : public PropertyPages {
 public:
  explicit ProcAmpPages(std::shared_ptr<VideoProcAmp> amp) : amp_(std::move(amp)) {}
  std::vector<PropertyPage> Pages() override {
    PropertyPage page{"Video Proc Amp", {}};
    shown_.clear();
    for (int i = 0; i < 6; ++i) {
      Property p;
      p.name = kPictureTitles[i];
      const auto prop = static_cast<VideoProcAmpProperty>(i);
      if (!Succeeded(amp_->GetRange(prop, p.minimum, p.maximum, p.step, p.defaultValue))) continue;
      if (!Succeeded(amp_->Get(prop, p.value))) p.value = p.defaultValue;
      page.properties.push_back(p);
      shown_.push_back(prop);
    }
    return {page};
  }
  bool Apply(int page, int property, int32_t value) override {
    if (page != 0 || property < 0 || property >= static_cast<int>(shown_.size())) return false;
    return Succeeded(amp_->Set(shown_[property], value, kVideoProcAmpFlagsManual));
  }

 private:
  std::shared_ptr<VideoProcAmp> amp_;
  std::vector<VideoProcAmpProperty> shown_;
};

// A property of the element or of the first child that has it, with its element.
GObject* FindPropertyOwner(GstElement* element, const char* name, GType type) {
  const auto fits = [&](GObject* o) {
    GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(o), name);
    return spec && G_PARAM_SPEC_VALUE_TYPE(spec) == type && (spec->flags & G_PARAM_WRITABLE);
  };
  if (!element) return nullptr;
  if (fits(G_OBJECT(element))) return G_OBJECT(element);
  if (!GST_IS_BIN(element)) return nullptr;
  GObject* found = nullptr;
  GstIterator* it = gst_bin_iterate_recurse(GST_BIN(element));
  GValue item = G_VALUE_INIT;
  while (!found && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    auto* child = G_OBJECT(g_value_get_object(&item));
    // A test tone's loudness is its signal, not the microphone's gain.
    if (fits(child) && !g_str_has_prefix(G_OBJECT_TYPE_NAME(child), "GstAudioTestSrc"))
      found = child;
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return found;
}

// The microphone's own controls: its volume in percent and its mute switch, where the
// source offers them (a sound server's source does; a raw ALSA device does not).
class AudioPages : public PropertyPages {
 public:
  explicit AudioPages(GstElement* source)
      : volume_(FindPropertyOwner(source, "volume", G_TYPE_DOUBLE)),
        mute_(FindPropertyOwner(source, "mute", G_TYPE_BOOLEAN)) {
    if (volume_) g_object_ref(volume_);
    if (mute_) g_object_ref(mute_);
  }
  ~AudioPages() override {
    if (volume_) g_object_unref(volume_);
    if (mute_) g_object_unref(mute_);
  }
  AudioPages(const AudioPages&) = delete;
  AudioPages& operator=(const AudioPages&) = delete;

  std::vector<PropertyPage> Pages() override {
    PropertyPage page{"Audio Input", {}};
    shown_.clear();
    if (volume_) {
      auto* spec =
          G_PARAM_SPEC_DOUBLE(g_object_class_find_property(G_OBJECT_GET_CLASS(volume_), "volume"));
      gdouble v = 0;
      g_object_get(volume_, "volume", &v, nullptr);
      Property p;
      p.name = "Volume (%)";
      p.minimum = static_cast<int32_t>(spec->minimum * 100);
      p.maximum = static_cast<int32_t>(std::min(spec->maximum, 10.0) * 100);
      p.defaultValue = static_cast<int32_t>(spec->default_value * 100);
      p.value = static_cast<int32_t>(v * 100 + 0.5);
      page.properties.push_back(p);
      shown_.push_back(kVolume);
    }
    if (mute_) {
      gboolean m = FALSE;
      g_object_get(mute_, "mute", &m, nullptr);
      Property p;
      p.name = "Mute";
      p.kind = Property::Kind::Boolean;
      p.maximum = 1;
      p.value = m ? 1 : 0;
      page.properties.push_back(p);
      shown_.push_back(kMute);
    }
    return {page};
  }
  bool Apply(int page, int property, int32_t value) override {
    if (page != 0 || property < 0 || property >= static_cast<int>(shown_.size())) return false;
    if (shown_[property] == kVolume) {
      g_object_set(volume_, "volume", value / 100.0, nullptr);
    } else {
      g_object_set(mute_, "mute", value ? TRUE : FALSE, nullptr);
    }
    return true;
  }

 private:
  enum Control { kVolume, kMute };
  GObject* volume_;
  GObject* mute_;
  std::vector<Control> shown_;
};

// A device without settings still opens its sheet, which says so.
class EmptyPages : public PropertyPages {
 public:
  explicit EmptyPages(std::string title) : title_(std::move(title)) {}
  std::vector<PropertyPage> Pages() override { return {PropertyPage{title_, {}}}; }
  bool Apply(int, int, int32_t) override { return false; }

 private:
  std::string title_;
};

// A device's pages under the device's name, which the sheet's caption shows.
class NamedPages : public PropertyPages {
 public:
  NamedPages(std::shared_ptr<PropertyPages> pages, std::string name)
      : pages_(std::move(pages)), name_(std::move(name)) {}
  std::vector<PropertyPage> Pages() override { return pages_->Pages(); }
  bool Apply(int page, int property, int32_t value) override {
    return pages_->Apply(page, property, value);
  }
  std::string ObjectName() const override { return name_; }

 private:
  std::shared_ptr<PropertyPages> pages_;
  std::string name_;
};

const char* SubtypeName(Subtype s) {
  switch (s) {
    case Subtype::UYVY:
      return "UYVY";
    case Subtype::YUYV:
      return "YUYV";
    case Subtype::YUY2:
      return "YUY2";
    case Subtype::I420:
      return "I420";
    case Subtype::RGB24:
      return "RGB24";
    case Subtype::RGB32:
      return "RGB32";
    case Subtype::MJPG:
      return "MJPG";
    default:
      return "Other";
  }
}

class FormatPages : public PropertyPages {
 public:
  explicit FormatPages(std::shared_ptr<GstDeviceFilter> f) : filter_(std::move(f)) {}
  std::vector<PropertyPage> Pages() override {
    caps_ = filter_->Capabilities();
    MediaType current;
    filter_->GetFormat(current);
    Property p;
    p.name = "Video Format";
    p.kind = Property::Kind::Enumeration;
    p.maximum = static_cast<int32_t>(caps_.size()) - 1;
    for (size_t i = 0; i < caps_.size(); ++i) {
      const MediaType& t = caps_[i];
      const int fps =
          t.avgTimePerFrame > 0 ? static_cast<int>(kUnitsPerSecond / t.avgTimePerFrame) : 0;
      p.choices.push_back(std::string(SubtypeName(t.subtype)) + " " + std::to_string(t.width) +
                          " x " + std::to_string(std::abs(t.height)) + ", " + std::to_string(fps) +
                          " fps");
      if (t.subtype == current.subtype && t.width == current.width &&
          std::abs(t.height) == std::abs(current.height) &&
          t.avgTimePerFrame == current.avgTimePerFrame)
        p.value = static_cast<int32_t>(i);
    }
    return {PropertyPage{"Stream Format", {p}}};
  }
  bool Apply(int page, int property, int32_t value) override {
    if (page != 0 || property != 0 || value < 0 || value >= static_cast<int32_t>(caps_.size()))
      return false;
    return Succeeded(filter_->SetFormat(caps_[value]));
  }

 private:
  std::shared_ptr<GstDeviceFilter> filter_;
  std::vector<MediaType> caps_;
};

class DeviceStreamConfig : public StreamConfig {
 public:
  explicit DeviceStreamConfig(std::shared_ptr<GstDeviceFilter> f) : filter_(std::move(f)) {}
  Status GetFormat(MediaType& type) override { return filter_->GetFormat(type); }
  Status SetFormat(const MediaType& type) override { return filter_->SetFormat(type); }
  int CapabilityCount() override { return static_cast<int>(filter_->Capabilities().size()); }
  bool GetCapability(int index, MediaType& type) override {
    const auto caps = filter_->Capabilities();
    if (index < 0 || index >= static_cast<int>(caps.size())) return false;
    type = caps[index];
    return true;
  }
  std::shared_ptr<PropertyPages> GetPropertyPages() override {
    return std::make_shared<NamedPages>(std::make_shared<FormatPages>(filter_),
                                        filter_->DeviceName());
  }

 private:
  std::shared_ptr<GstDeviceFilter> filter_;
};

class DeviceVideoControl : public VideoControl {
 public:
  explicit DeviceVideoControl(std::shared_ptr<GstDeviceFilter> f) : filter_(std::move(f)) {}
  Status SetMode(Pin& pin, int32_t mode) override {
    if (!(mode & kVideoControlFlagTrigger)) return kOk;
    return filter_->TriggerStill(pin);
  }

 private:
  std::shared_ptr<GstDeviceFilter> filter_;
};

class DeviceCounters : public FrameCounters {
 public:
  explicit DeviceCounters(std::shared_ptr<GstDeviceFilter> f) : filter_(std::move(f)) {}
  Status GetNumDropped(int32_t& dropped) override {
    dropped = filter_->Dropped();
    return kOk;
  }
  Status GetNumNotDropped(int32_t& delivered) override {
    delivered = filter_->Delivered();
    return kOk;
  }

 private:
  std::shared_ptr<GstDeviceFilter> filter_;
};

// A format near 640x480 at 30 frames a second, where the device offers ranges (as a
// PipeWire node may) rather than its modes.
void FixateNearCommonMode(GstStructure* s) {
  if (gst_structure_has_field(s, "framerate"))
    gst_structure_fixate_field_nearest_fraction(s, "framerate", 30, 1);
  if (gst_structure_has_field(s, "width")) gst_structure_fixate_field_nearest_int(s, "width", 640);
  if (gst_structure_has_field(s, "height"))
    gst_structure_fixate_field_nearest_int(s, "height", 480);
}

// The caps of a V4L2 pixel format; null for one the capture path does not take.
GstCaps* CapsOfFourcc(uint32_t fourcc) {
  if (fourcc == V4L2_PIX_FMT_MJPEG || fourcc == V4L2_PIX_FMT_JPEG)
    return gst_caps_new_empty_simple("image/jpeg");
  static constexpr struct {
    uint32_t fourcc;
    const char* format;
  } kRaw[] = {{V4L2_PIX_FMT_YUYV, "YUY2"},   {V4L2_PIX_FMT_UYVY, "UYVY"},
              {V4L2_PIX_FMT_YUV420, "I420"}, {V4L2_PIX_FMT_NV12, "NV12"},
              {V4L2_PIX_FMT_RGB24, "RGB"},   {V4L2_PIX_FMT_BGR24, "BGR"}};
  for (const auto& raw : kRaw)
    if (raw.fourcc == fourcc)
      return gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, raw.format, nullptr);
  return nullptr;
}

// A V4L2 camera's current mode as the driver reports it, when the device offers it;
// otherwise null. GStreamer lists a camera's largest mode first, often its slowest.
GstCaps* DriverCurrentFormat(const GstCaps* deviceCaps, GstElement* source) {
  const std::string node = V4l2NodeOf(source);
  v4l2::CurrentMode mode;
  const bool read = !node.empty() && v4l2::ReadCurrentMode(node, mode);
  GstCaps* wanted = read ? CapsOfFourcc(mode.fourcc) : nullptr;
  if (!wanted) return nullptr;
  gst_caps_set_simple(wanted, "width", G_TYPE_INT, static_cast<gint>(mode.width), "height",
                      G_TYPE_INT, static_cast<gint>(mode.height), nullptr);
  if (mode.rateNum > 0 && mode.rateDen > 0)
    gst_caps_set_simple(wanted, "framerate", GST_TYPE_FRACTION, static_cast<gint>(mode.rateNum),
                        static_cast<gint>(mode.rateDen), nullptr);
  GstCaps* offered = gst_caps_intersect(const_cast<GstCaps*>(deviceCaps), wanted);
  gst_caps_unref(wanted);
  if (gst_caps_is_empty(offered)) {
    gst_caps_unref(offered);
    return nullptr;
  }
  GstCaps* first = gst_caps_copy_nth(offered, 0);
  gst_caps_unref(offered);
  GstStructure* s = gst_caps_get_structure(first, 0);
  if (gst_structure_has_field(s, "framerate"))
    gst_structure_fixate_field_nearest_fraction(s, "framerate", 30, 1);
  return gst_caps_fixate(first);
}

// The first offered pixel format a clip can hold, near 30 frames a second; null when there
// is none. A PipeWire node may offer RGB (which no clip holds) before UYVY in one structure.
GstCaps* FirstRecordableFormat(const GstCaps* deviceCaps) {
  if (MajorOfCaps(deviceCaps) != MajorType::Video) return nullptr;
  for (guint i = 0; i < gst_caps_get_size(deviceCaps); ++i) {
    GstCaps* offered = gst_caps_copy_nth(deviceCaps, i);
    const GValue* formats = gst_structure_get_value(gst_caps_get_structure(offered, 0), "format");
    const bool list = formats && GST_VALUE_HOLDS_LIST(formats);
    const guint count = list ? gst_value_list_get_size(formats) : 1;
    for (guint k = 0; k < count; ++k) {
      GstCaps* candidate = gst_caps_copy(offered);
      GstStructure* s = gst_caps_get_structure(candidate, 0);
      if (list) gst_structure_set_value(s, "format", gst_value_list_get_value(formats, k));
      FixateNearCommonMode(s);
      candidate = gst_caps_fixate(candidate);
      const Subtype subtype = MediaTypeFromCaps(candidate).subtype;
      if (subtype != Subtype::Other && subtype != Subtype::None) {
        gst_caps_unref(offered);
        return candidate;
      }
      gst_caps_unref(candidate);
    }
    gst_caps_unref(offered);
  }
  return nullptr;
}

// The current format a camera starts with: the driver's current mode where it says, else
// the first format near 30 frames a second that a clip can hold, else the first.
GstCaps* DefaultFormat(const GstCaps* deviceCaps, GstElement* source) {
  if (!deviceCaps || gst_caps_is_empty(deviceCaps) || gst_caps_is_any(deviceCaps)) return nullptr;
  if (GstCaps* current = DriverCurrentFormat(deviceCaps, source)) return current;
  if (GstCaps* recordable = FirstRecordableFormat(deviceCaps)) return recordable;
  GstCaps* first = gst_caps_copy_nth(deviceCaps, 0);
  FixateNearCommonMode(gst_caps_get_structure(first, 0));
  return gst_caps_fixate(first);
}

}  // namespace

GstDeviceFilter::GstDeviceFilter(GstElement* bin, GstDevice* device, GstElement* source,
                                 MajorType major)
    : GstFilter("", bin),
      device_(GST_DEVICE(gst_object_ref(device))),
      source_(source),
      major_(major) {}

GstDeviceFilter::~GstDeviceFilter() {
  button_.reset();  // before anything a press touches
  if (deviceCaps_) gst_caps_unref(deviceCaps_);
  if (current_) gst_caps_unref(current_);
  gst_object_unref(device_);
}

std::shared_ptr<GstDeviceFilter> GstDeviceFilter::Create(GstDevice* device,
                                                         const SystemRoots& roots) {
  GstElement* source = gst_device_create_element(device, nullptr);
  if (!source) return nullptr;
  // PipeWire's source hands out the few buffers it shares with the server: a recording's
  // queues and muxer hold more than that, which would stall the camera. Copies are kept.
  if (HasProperty(G_OBJECT(source), "always-copy"))
    g_object_set(source, "always-copy", TRUE, nullptr);
  // Every frame of a V4L2 camera is read by the processor here: its buffers are mapped
  // once and reused rather than exported and mapped again at every frame, v4l2src's
  // choice where the driver can export them.
  if (!V4l2NodeOf(source).empty() && StreamsThroughBuffers(device))
    gst_util_set_object_arg(G_OBJECT(source), "io-mode", "mmap");
  const MajorType major =
      gst_device_has_classes(device, "Audio/Source") ? MajorType::Audio : MajorType::Video;
  GstElement* bin = gst_bin_new(nullptr);
  gst_bin_add(GST_BIN(bin), source);
  std::shared_ptr<GstDeviceFilter> filter(new GstDeviceFilter(bin, device, source, major));
  filter->Build();
  if (filter->pins_.empty()) return nullptr;
  filter->WatchOwnButton(roots);
  return filter;
}

void GstDeviceFilter::Build() {
  GstPad* src = gst_element_get_static_pad(source_, "src");
  if (!src) return;
  deviceCaps_ = gst_device_get_caps(device_);
  if (!deviceCaps_) deviceCaps_ = gst_pad_query_caps(src, nullptr);
  if (HasProperty(G_OBJECT(source_), "top-down"))
    g_object_get(source_, "top-down", &topDown_, nullptr);

  format_ = gst_element_factory_make("capsfilter", "format");
  gst_bin_add(GST_BIN(Bin()), format_);
  GstPad* formatSink = gst_element_get_static_pad(format_, "sink");
  gst_pad_link(src, formatSink);
  gst_object_unref(formatSink);
  gst_object_unref(src);
  if (major_ == MajorType::Video) {
    current_ = DefaultFormat(deviceCaps_, source_);
    if (current_) {
      g_object_set(format_, "caps", current_, nullptr);
      gint num = 0, den = 1;
      if (gst_structure_get_fraction(gst_caps_get_structure(current_, 0), "framerate", &num,
                                     &den) &&
          num > 0)
        frameDuration_ = gst_util_uint64_scale_int(GST_SECOND, den, num);
    }
  }
  GstPad* formatSrc = gst_element_get_static_pad(format_, "src");
  gst_pad_add_probe(formatSrc, GST_PAD_PROBE_TYPE_BUFFER, OnCaptureBuffer, this, nullptr);
  capture_ = AddPin("Capture", formatSrc, PinDirection::Output, PinCategory::Capture, major_);
  gst_object_unref(formatSrc);

  if (major_ != MajorType::Video) return;
  stillSignal_ = g_signal_lookup("trigger-still", G_OBJECT_TYPE(source_)) != 0;
  if (GstPad* still = gst_element_get_static_pad(source_, "still")) {
    still_ = AddPin("Still", still, PinDirection::Output, PinCategory::Still, major_);
    gst_object_unref(still);
  } else if (HasProperty(G_OBJECT(source_), "extra-controls")) {
    // A V4L2 camera has no still stream of its own: a trigger copies the next frame.
    stillSrc_ = gst_element_factory_make("appsrc", "still");
    if (stillSrc_) {
      g_object_set(stillSrc_, "is-live", TRUE, "format", GST_FORMAT_TIME, "max-buffers",
                   static_cast<guint64>(2), "leaky-type", 2 /* downstream */, nullptr);
      if (current_) gst_app_src_set_caps(GST_APP_SRC(stillSrc_), current_);
      gst_bin_add(GST_BIN(Bin()), stillSrc_);
      GstPad* pad = gst_element_get_static_pad(stillSrc_, "src");
      still_ = AddPin("Still", pad, PinDirection::Output, PinCategory::Still, major_);
      gst_object_unref(pad);
    }
  }

  // Picture properties: on the source element or on one of its children.
  if (IntProperty(G_OBJECT(source_), "brightness")) {
    picture_ = G_OBJECT(source_);
  } else if (GST_IS_BIN(source_)) {
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(source_));
    GValue item = G_VALUE_INIT;
    while (!picture_ && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
      GObject* child = G_OBJECT(g_value_get_object(&item));
      if (IntProperty(child, "brightness")) picture_ = child;
      g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
  }
}

GstPadProbeReturn GstDeviceFilter::OnCaptureBuffer(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<GstDeviceFilter*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const GstClockTime pts = GST_BUFFER_PTS(buffer);
  const GstClockTime last = self->lastPts_.exchange(pts);
  GstClockTime frame = GST_BUFFER_DURATION(buffer);
  if (!GST_CLOCK_TIME_IS_VALID(frame)) frame = self->frameDuration_.load();
  // Frames the device lost show as a gap of more than one and a half frame times.
  if (GST_CLOCK_TIME_IS_VALID(pts) && GST_CLOCK_TIME_IS_VALID(last) &&
      GST_CLOCK_TIME_IS_VALID(frame) && frame > 0 && pts > last + frame + frame / 2)
    self->dropped_ += static_cast<int32_t>((pts - last + frame / 2) / frame - 1);
  ++self->delivered_;
  if (self->stillSrc_ && self->stillPending_.exchange(false) && self->still_ &&
      gst_pad_is_linked(self->still_->Pad()))
    gst_app_src_push_buffer(GST_APP_SRC(self->stillSrc_), gst_buffer_copy(buffer));
  // With nothing on the capture pin (only the still branch runs) the frames go nowhere.
  if (!gst_pad_is_linked(self->capture_->Pad())) return GST_PAD_PROBE_DROP;
  return GST_PAD_PROBE_OK;
}

std::shared_ptr<StreamConfig> GstDeviceFilter::CaptureStreamConfig() {
  if (major_ != MajorType::Video || !current_) return nullptr;
  return std::make_shared<DeviceStreamConfig>(
      std::static_pointer_cast<GstDeviceFilter>(shared_from_this()));
}

std::shared_ptr<FrameCounters> GstDeviceFilter::CaptureFrameCounters() {
  return std::make_shared<DeviceCounters>(
      std::static_pointer_cast<GstDeviceFilter>(shared_from_this()));
}

std::shared_ptr<VideoControl> GstDeviceFilter::GetVideoControl() {
  if (!still_) return nullptr;
  return std::make_shared<DeviceVideoControl>(
      std::static_pointer_cast<GstDeviceFilter>(shared_from_this()));
}

std::shared_ptr<VideoProcAmp> GstDeviceFilter::GetVideoProcAmp() {
  if (major_ != MajorType::Video) return nullptr;
  const bool hasControls = picture_ || HasProperty(G_OBJECT(source_), "extra-controls") ||
                           BalanceChannel(source_, "brightness");
  if (!hasControls) return nullptr;
  return std::make_shared<DeviceProcAmp>(
      std::static_pointer_cast<GstDeviceFilter>(shared_from_this()));
}

std::shared_ptr<PictureSettings> GstDeviceFilter::GetPictureSettings() {
  return MakePictureSettings(std::static_pointer_cast<GstDeviceFilter>(shared_from_this()));
}

std::string GstDeviceFilter::DeviceName() const {
  gchar* display = gst_device_get_display_name(device_);
  std::string name = display ? display : "";
  g_free(display);
  return name;
}

std::shared_ptr<PropertyPages> GstDeviceFilter::GetPropertyPages() {
  if (major_ != MajorType::Video)
    return std::make_shared<NamedPages>(std::make_shared<AudioPages>(source_), DeviceName());
  // A V4L2 camera: every control its driver offers, set through the node while it streams.
  const std::string node = V4l2NodeOf(source_);
  if (!node.empty())
    if (auto pages = v4l2::ControlPages(v4l2::OpenControlDevice(node), DeviceName())) return pages;
  auto amp = GetVideoProcAmp();
  std::shared_ptr<PropertyPages> pages;
  if (amp) {
    pages = std::make_shared<ProcAmpPages>(amp);
  } else {
    pages = std::make_shared<EmptyPages>("Video Proc Amp");
  }
  return std::make_shared<NamedPages>(pages, DeviceName());
}

Status GstDeviceFilter::GetFormat(MediaType& type) const {
  if (!current_) return kFail;
  type = MediaTypeFromCaps(current_, topDown_);
  return type.IsEmpty() ? kFail : kOk;
}

Status GstDeviceFilter::SetFormat(const MediaType& type) {
  if (major_ != MajorType::Video || type.formatType != FormatType::VideoInfo)
    return kInvalidArgument;
  GstCaps* base = CapsForVideoType(type, 0, 0);
  if (!base) return kInvalidArgument;
  gint num = 0, den = 1;
  const bool offered = gst_caps_can_intersect(deviceCaps_, base) &&
                       ChooseFrameRate(deviceCaps_, base, type.avgTimePerFrame, num, den);
  gst_caps_unref(base);
  if (!offered) return kFail;
  GstCaps* next = CapsForVideoType(type, num, den);
  // Keep the fields of the device's own caps that the type does not name.
  GstCaps* merged = gst_caps_intersect(next, deviceCaps_);
  gst_caps_unref(next);
  if (gst_caps_is_empty(merged)) {
    gst_caps_unref(merged);
    return kFail;
  }
  merged = gst_caps_fixate(merged);
  if (current_) gst_caps_unref(current_);
  current_ = merged;
  g_object_set(format_, "caps", current_, nullptr);
  if (stillSrc_) gst_app_src_set_caps(GST_APP_SRC(stillSrc_), current_);
  frameDuration_ = gst_util_uint64_scale_int(GST_SECOND, den, num);
  return kOk;
}

std::vector<MediaType> GstDeviceFilter::Capabilities() const {
  std::vector<MediaType> result;
  if (!deviceCaps_ || gst_caps_is_any(deviceCaps_)) return result;
  for (guint i = 0; i < gst_caps_get_size(deviceCaps_); ++i) {
    // One capability per pixel format and frame rate a structure lists.
    std::vector<GstStructure*> variants{gst_structure_copy(gst_caps_get_structure(deviceCaps_, i))};
    for (const char* field : {"format", "framerate"}) {
      std::vector<GstStructure*> split;
      for (GstStructure* v : variants) {
        const GValue* list = gst_structure_get_value(v, field);
        if (!list || !GST_VALUE_HOLDS_LIST(list)) {
          split.push_back(v);
          continue;
        }
        for (guint k = 0; k < gst_value_list_get_size(list); ++k) {
          GstStructure* one = gst_structure_copy(v);
          gst_structure_set_value(one, field, gst_value_list_get_value(list, k));
          split.push_back(one);
        }
        gst_structure_free(v);
      }
      variants.swap(split);
    }
    for (GstStructure* v : variants) {
      FixateNearCommonMode(v);
      GstCaps* one = gst_caps_fixate(gst_caps_new_full(v, nullptr));
      result.push_back(MediaTypeFromCaps(one, topDown_));
      gst_caps_unref(one);
    }
  }
  return result;
}

GstCaps* GstDeviceFilter::OutputFormat(GstPin&) {
  return current_ ? gst_caps_ref(current_) : nullptr;
}

Status GstDeviceFilter::TriggerStill(Pin& pin) {
  if (!still_ || &pin != still_.get()) return kInvalidArgument;
  FireStill();
  return kOk;
}

void GstDeviceFilter::FireStill() {
  if (stillSignal_) {
    g_signal_emit_by_name(source_, "trigger-still");
  } else {
    stillPending_ = true;
  }
}

}  // namespace media::gst
