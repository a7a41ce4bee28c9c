// The device-information set on Linux: USB devices and interfaces read from sysfs.
#pragma once

#include <memory>
#include <string>

#include "platform/devices.h"

namespace ostrel {

// Every entry of <root>/bus/usb/devices is a record: a device ("1-1") or one of its
// interfaces ("1-1:1.0"). Linux keeps no records of absent devices, so both scopes
// give the same records. The driver update binds interfaces to the camera driver.
class SysfsDeviceSetup : public DeviceSetup {
 public:
  static constexpr char kCameraDriver[] = "uvcvideo";

  // root is "/sys" on a real machine, a folder holding a fake tree in tests.
  explicit SysfsDeviceSetup(std::string root);

  std::unique_ptr<DeviceInfoSet> GetClassDevs(Scope scope, std::string* error) override;

  // hardware_id names interfaces (USB\VID_vvvv&PID_pppp&MI_nn): "vvvv pppp" goes to
  // the camera driver's new_id, and each present interface with that ID that another
  // driver holds is unbound from it and bound to the camera driver.
  DeviceStatus UpdateDriverForPlugAndPlayDevices(const std::string& hardware_id,
                                                 const std::string& inf_path) override;

 private:
  std::string devices_dir() const;
  std::string root_;
};

}  // namespace ostrel
