// Reading and writing single sysfs attributes.
#pragma once

#include <optional>
#include <string>

#include "platform/devices.h"

namespace ostrel {

// The attribute's text, or nullopt when it is missing, unreadable or longer than an
// attribute of a USB descriptor can be.
std::optional<std::string> ReadSysfsAttribute(const std::string& path);

// Writes value to the attribute in one write, as `echo -n value > path` would.
DeviceStatus WriteSysfsAttribute(const std::string& path, const std::string& value);

}  // namespace ostrel
