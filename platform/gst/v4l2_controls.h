// A V4L2 camera's own controls (brightness, contrast, white balance, exposure, ...) as
// property pages, read and set through the device node while it streams.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media.h"

namespace media::v4l2 {

// One control as the driver describes it.
struct ControlInfo {
  enum class Type { Integer, Boolean, Menu, Other };
  uint32_t id = 0;
  Type type = Type::Other;
  std::string name;
  int32_t minimum = 0;
  int32_t maximum = 0;
  int32_t step = 1;
  int32_t defaultValue = 0;
  bool disabled = false;
  bool readOnly = false;
  // Settable only once its automatic partner is off (uvcvideo marks it so).
  bool inactive = false;
  // Menu: the valid item indices and their names.
  std::vector<std::pair<int32_t, std::string>> items;
};

// The device node's control calls; the real one is ioctl on an open node.
class ControlDevice {
 public:
  virtual ~ControlDevice() = default;
  virtual std::vector<ControlInfo> Controls() = 0;
  virtual bool Get(uint32_t id, int32_t& value) = 0;
  virtual bool Set(uint32_t id, int32_t value) = 0;
};

// Opens the node for its controls; null when it cannot be opened.
std::unique_ptr<ControlDevice> OpenControlDevice(const std::string& node);

// The pages of every control that can be set, under the device's name; null when the
// device has none. Values and inactive marks are read from the device at every Pages().
std::shared_ptr<PropertyPages> ControlPages(std::unique_ptr<ControlDevice> device,
                                            std::string deviceName = {});

}  // namespace media::v4l2
