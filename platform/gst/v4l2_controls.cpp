// V4L2 controls: the driver's list through VIDIOC_QUERYCTRL, values through G/S_CTRL.
#include "platform/gst/v4l2_controls.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/gst/v4l2_ioctl.h"

namespace media::v4l2 {

namespace {

class NodeControls : public ControlDevice {
 public:
  explicit NodeControls(int fd) : fd_(fd) {}
  ~NodeControls() override { ::close(fd_); }
  NodeControls(const NodeControls&) = delete;
  NodeControls& operator=(const NodeControls&) = delete;

  std::vector<ControlInfo> Controls() override {
    std::vector<ControlInfo> controls;
    v4l2_queryctrl q{};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (Ioctl(fd_, VIDIOC_QUERYCTRL, &q) == 0) {
      ControlInfo c;
      c.id = q.id;
      c.name = std::string(reinterpret_cast<const char*>(q.name),
                           strnlen(reinterpret_cast<const char*>(q.name), sizeof q.name));
      c.minimum = q.minimum;
      c.maximum = q.maximum;
      c.step = q.step > 0 ? q.step : 1;
      c.defaultValue = q.default_value;
      c.disabled = (q.flags & V4L2_CTRL_FLAG_DISABLED) != 0;
      c.readOnly = (q.flags & V4L2_CTRL_FLAG_READ_ONLY) != 0;
      c.inactive = (q.flags & V4L2_CTRL_FLAG_INACTIVE) != 0;
      switch (q.type) {
        case V4L2_CTRL_TYPE_INTEGER:
          c.type = ControlInfo::Type::Integer;
          break;
        case V4L2_CTRL_TYPE_BOOLEAN:
          c.type = ControlInfo::Type::Boolean;
          break;
        case V4L2_CTRL_TYPE_MENU:
          c.type = ControlInfo::Type::Menu;
          for (int32_t i = q.minimum; i <= q.maximum; ++i) {
            v4l2_querymenu m{};
            m.id = q.id;
            m.index = static_cast<uint32_t>(i);
            if (Ioctl(fd_, VIDIOC_QUERYMENU, &m) == 0)
              c.items.emplace_back(
                  i, std::string(reinterpret_cast<const char*>(m.name),
                                 strnlen(reinterpret_cast<const char*>(m.name), sizeof m.name)));
          }
          break;
        default:
          c.type = ControlInfo::Type::Other;
          break;
      }
      controls.push_back(std::move(c));
      q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    return controls;
  }
  bool Get(uint32_t id, int32_t& value) override {
    v4l2_control c{};
    c.id = id;
    if (Ioctl(fd_, VIDIOC_G_CTRL, &c) != 0) return false;
    value = c.value;
    return true;
  }
  bool Set(uint32_t id, int32_t value) override {
    v4l2_control c{};
    c.id = id;
    c.value = value;
    return Ioctl(fd_, VIDIOC_S_CTRL, &c) == 0;
  }

 private:
  int fd_;
};

class ControlPropertyPages : public PropertyPages {
 public:
  ControlPropertyPages(std::unique_ptr<ControlDevice> device, std::vector<ControlInfo> controls,
                       std::string name)
      : device_(std::move(device)), controls_(std::move(controls)), name_(std::move(name)) {}

  std::string ObjectName() const override { return name_; }

  std::vector<PropertyPage> Pages() override {
    // Switching an automatic mode changes which of its partners the driver lets be set.
    const std::vector<ControlInfo> now = device_->Controls();
    for (ControlInfo& c : controls_)
      for (const ControlInfo& n : now)
        if (n.id == c.id) c.inactive = n.inactive;
    PropertyPage page{"Video Proc Amp", {}};
    for (const ControlInfo& c : controls_) {
      Property p;
      p.name = c.name;
      p.minimum = c.minimum;
      p.maximum = c.maximum;
      p.step = c.step;
      p.defaultValue = c.defaultValue;
      p.inactive = c.inactive;
      int32_t value = c.defaultValue;
      device_->Get(c.id, value);
      p.value = value;
      if (c.type == ControlInfo::Type::Boolean) {
        p.kind = Property::Kind::Boolean;
        p.minimum = 0;
        p.maximum = 1;
        p.value = value ? 1 : 0;
      } else if (c.type == ControlInfo::Type::Menu) {
        // The sheet counts choices from 0; the driver's item indices may have gaps.
        p.kind = Property::Kind::Enumeration;
        p.minimum = 0;
        p.maximum = static_cast<int32_t>(c.items.size()) - 1;
        p.value = 0;
        for (size_t i = 0; i < c.items.size(); ++i) {
          p.choices.push_back(c.items[i].second);
          if (c.items[i].first == value) p.value = static_cast<int32_t>(i);
        }
      }
      page.properties.push_back(std::move(p));
    }
    return {page};
  }

  bool Apply(int page, int property, int32_t value) override {
    if (page != 0 || property < 0 || property >= static_cast<int>(controls_.size())) return false;
    const ControlInfo& c = controls_[static_cast<size_t>(property)];
    if (c.type == ControlInfo::Type::Menu) {
      if (value < 0 || value >= static_cast<int32_t>(c.items.size())) return false;
      value = c.items[static_cast<size_t>(value)].first;
    } else if (c.type == ControlInfo::Type::Boolean) {
      value = value ? 1 : 0;
    } else if (value < c.minimum || value > c.maximum) {
      return false;
    }
    return device_->Set(c.id, value);
  }

 private:
  std::unique_ptr<ControlDevice> device_;
  std::vector<ControlInfo> controls_;
  std::string name_;
};

}  // namespace

std::unique_ptr<ControlDevice> OpenControlDevice(const std::string& node) {
  const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::make_unique<NodeControls>(fd);
}

std::shared_ptr<PropertyPages> ControlPages(std::unique_ptr<ControlDevice> device,
                                            std::string deviceName) {
  if (!device) return nullptr;
  std::vector<ControlInfo> shown;
  for (ControlInfo& c : device->Controls()) {
    const bool settable = !c.disabled && !c.readOnly && c.type != ControlInfo::Type::Other &&
                          (c.type != ControlInfo::Type::Menu || !c.items.empty());
    if (settable) shown.push_back(std::move(c));
  }
  if (shown.empty()) return nullptr;
  return std::make_shared<ControlPropertyPages>(std::move(device), std::move(shown),
                                                std::move(deviceName));
}

}  // namespace media::v4l2
