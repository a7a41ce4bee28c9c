// Picture settings: a V4L2 camera's controls through its node, named as v4l2src names
// them in extra-controls; other cameras' six picture properties through their proc amp.
#include "platform/gst/picture_settings.h"

#include <cctype>

#include "platform/gst/v4l2_controls.h"

namespace media::gst {
namespace {

// "White Balance, Automatic" gives "white_balance_automatic", as v4l2src names it: runs
// of other characters become one "_" between words.
std::string ControlKey(const std::string& name) {
  std::string key;
  bool gap = false;
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (!std::isalnum(u)) {
      gap = true;
      continue;
    }
    if (gap && !key.empty()) key += '_';
    gap = false;
    key += static_cast<char>(std::tolower(u));
  }
  return key;
}

bool Settable(const v4l2::ControlInfo& c) {
  return !c.disabled && !c.readOnly && c.type != v4l2::ControlInfo::Type::Other;
}

bool TakesValue(const v4l2::ControlInfo& c, int32_t value) {
  if (c.type == v4l2::ControlInfo::Type::Menu) {
    for (const auto& item : c.items)
      if (item.first == value) return true;
    return false;
  }
  return value >= c.minimum && value <= c.maximum;
}

class V4l2PictureSettings : public PictureSettings {
 public:
  V4l2PictureSettings(std::string node, GstElement* source) : node_(std::move(node)) {
    source_ = GST_ELEMENT(gst_object_ref(source));
  }
  ~V4l2PictureSettings() override { gst_object_unref(source_); }

  std::vector<std::pair<std::string, int32_t>> Values() override {
    std::vector<std::pair<std::string, int32_t>> values;
    std::unique_ptr<v4l2::ControlDevice> device = v4l2::OpenControlDevice(node_);
    if (!device) return values;
    for (const v4l2::ControlInfo& c : device->Controls()) {
      int32_t value = 0;
      // An inactive control follows its automatic partner: that one is kept instead.
      if (Settable(c) && !c.inactive && device->Get(c.id, value))
        values.emplace_back(ControlKey(c.name), value);
    }
    return values;
  }

  bool Apply(const std::string& name, int32_t value, std::string& why) override {
    std::unique_ptr<v4l2::ControlDevice> device = v4l2::OpenControlDevice(node_);
    if (!device) {
      why = "cannot open " + node_;
      return false;
    }
    for (const v4l2::ControlInfo& c : device->Controls()) {
      if (ControlKey(c.name) != name) continue;
      if (!Settable(c)) break;
      if (c.inactive) return true;  // the camera sets it itself now
      if (!TakesValue(c, value)) {
        why = "the camera takes " + std::to_string(c.minimum) + " to " + std::to_string(c.maximum);
        return false;
      }
      if (!device->Set(c.id, value)) {
        why = "the camera refused it";
        return false;
      }
      KeepForNextOpen(name, value);
      return true;
    }
    why = "the camera has no such control";
    return false;
  }

 private:
  // v4l2src sets its extra-controls whenever it opens the node: the value goes there too,
  // or the next opening would set an older one.
  void KeepForNextOpen(const std::string& name, int32_t value) {
    GstStructure* controls = nullptr;
    g_object_get(source_, "extra-controls", &controls, nullptr);
    if (!controls) controls = gst_structure_new_empty("controls");
    gst_structure_set(controls, name.c_str(), G_TYPE_INT, value, nullptr);
    g_object_set(source_, "extra-controls", controls, nullptr);
    gst_structure_free(controls);
  }

  std::string node_;
  GstElement* source_;
};

constexpr const char* kPictureKeys[] = {"brightness", "contrast",  "hue",
                                        "saturation", "sharpness", "gamma"};

class ProcAmpPictureSettings : public PictureSettings {
 public:
  explicit ProcAmpPictureSettings(std::shared_ptr<VideoProcAmp> amp) : amp_(std::move(amp)) {}

  std::vector<std::pair<std::string, int32_t>> Values() override {
    std::vector<std::pair<std::string, int32_t>> values;
    for (int i = 0; i < 6; ++i) {
      int32_t value = 0, minimum = 0, maximum = 0, step = 0, defaultValue = 0;
      const auto property = static_cast<VideoProcAmpProperty>(i);
      if (Succeeded(amp_->GetRange(property, minimum, maximum, step, defaultValue)) &&
          Succeeded(amp_->Get(property, value)))
        values.emplace_back(kPictureKeys[i], value);
    }
    return values;
  }

  bool Apply(const std::string& name, int32_t value, std::string& why) override {
    for (int i = 0; i < 6; ++i) {
      if (name != kPictureKeys[i]) continue;
      const auto property = static_cast<VideoProcAmpProperty>(i);
      int32_t minimum = 0, maximum = 0, step = 0, defaultValue = 0;
      if (!Succeeded(amp_->GetRange(property, minimum, maximum, step, defaultValue))) break;
      if (value < minimum || value > maximum) {
        why = "the camera takes " + std::to_string(minimum) + " to " + std::to_string(maximum);
        return false;
      }
      if (!Succeeded(amp_->Set(property, value, kVideoProcAmpFlagsManual))) {
        why = "the camera refused it";
        return false;
      }
      return true;
    }
    why = "the camera has no such control";
    return false;
  }

 private:
  std::shared_ptr<VideoProcAmp> amp_;
};

}  // namespace

std::shared_ptr<PictureSettings> MakePictureSettings(std::shared_ptr<GstDeviceFilter> filter) {
  if (!filter || filter->Major() != MajorType::Video) return nullptr;
  GstElement* source = filter->Source();
  const std::string path = V4l2NodeOf(source);
  if (!path.empty()) return std::make_shared<V4l2PictureSettings>(path, source);
  std::shared_ptr<VideoProcAmp> amp = filter->GetVideoProcAmp();
  return amp ? std::make_shared<ProcAmpPictureSettings>(amp) : nullptr;
}

}  // namespace media::gst
