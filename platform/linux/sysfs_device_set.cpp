// The device-information set on Linux: USB devices and interfaces read from sysfs.
#include "platform/linux/sysfs_device_set.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/linux/sysfs_attribute.h"
#include "platform/linux/usb_hardware_ids.h"

namespace ostrel {
namespace {

bool IsInterfaceName(const std::string& name) { return name.find(':') != std::string::npos; }

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

// The entries of the bus/usb/devices folder, sorted so that scans are repeatable.
std::optional<std::vector<std::string>> ListRecords(const std::string& dir, std::string* error) {
  DIR* handle = ::opendir(dir.c_str());
  if (!handle) {
    if (error) *error = dir + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(handle)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(handle);
  std::sort(names.begin(), names.end());
  return names;
}

// The name of the driver an interface is bound to, empty when it has none.
std::string BoundDriver(const std::string& interface_dir) {
  std::error_code ec;
  std::filesystem::path link = interface_dir + "/driver";
  if (!std::filesystem::exists(link, ec)) return {};
  std::filesystem::path target = std::filesystem::canonical(link, ec);
  return ec ? link.filename().string() : target.filename().string();
}

class SysfsDeviceInfoSet : public DeviceInfoSet {
 public:
  SysfsDeviceInfoSet(std::string devices_dir, std::vector<std::string> names)
      : devices_dir_(std::move(devices_dir)), records_(names.size()) {
    for (std::size_t i = 0; i < names.size(); ++i) records_[i].name = std::move(names[i]);
  }

  bool EnumDeviceInfo(std::size_t index) override { return index < records_.size(); }

  PropertyResult GetHardwareIds(std::size_t index, char* buffer, std::size_t size,
                                std::size_t* required_size) override {
    if (index >= records_.size()) return PropertyResult::kFailed;
    const std::string& ids = MultiString(records_[index]);
    if (ids.empty()) return PropertyResult::kNoSuchProperty;
    if (required_size) *required_size = ids.size();
    if (!buffer || size < ids.size()) return PropertyResult::kBufferTooSmall;
    std::memcpy(buffer, ids.data(), ids.size());
    return PropertyResult::kOk;
  }

  DeviceStatus RemoveDevice(std::size_t index) override {
    if (index >= records_.size())
      return DeviceStatus::NoDevice("no device " + std::to_string(index));
    const std::string& name = records_[index].name;
    const std::string dir = devices_dir_ + "/" + name;
    if (!IsInterfaceName(name)) return WriteSysfsAttribute(dir + "/remove", "1");
    // An interface is removed from its driver; one without a driver has nothing to undo.
    if (BoundDriver(dir).empty()) return {};
    return WriteSysfsAttribute(dir + "/driver/unbind", name);
  }

 private:
  struct Record {
    std::string name;
    bool read = false;
    std::string multi_string;  // empty: no hardware IDs
  };

  // Read once, so the size reported first is the size copied later.
  const std::string& MultiString(Record& record) {
    if (!record.read) {
      record.read = true;
      if (std::optional<UsbIdentity> identity = ReadUsbIdentity(devices_dir_, record.name)) {
        for (const std::string& id : UsbHardwareIds(*identity)) {
          record.multi_string += id;
          record.multi_string += '\0';
        }
        record.multi_string += '\0';
      }
    }
    return record.multi_string;
  }

  std::string devices_dir_;
  std::vector<Record> records_;
};

}  // namespace

SysfsDeviceSetup::SysfsDeviceSetup(std::string root) : root_(std::move(root)) {}

std::string SysfsDeviceSetup::devices_dir() const { return root_ + "/bus/usb/devices"; }

std::unique_ptr<DeviceInfoSet> SysfsDeviceSetup::GetClassDevs(Scope /*scope*/, std::string* error) {
  std::optional<std::vector<std::string>> names = ListRecords(devices_dir(), error);
  if (!names) return nullptr;
  return std::make_unique<SysfsDeviceInfoSet>(devices_dir(), std::move(*names));
}

DeviceStatus SysfsDeviceSetup::UpdateDriverForPlugAndPlayDevices(const std::string& hardware_id,
                                                                 const std::string& /*inf_path*/) {
  std::string error;
  std::optional<std::vector<std::string>> names = ListRecords(devices_dir(), &error);
  if (!names) return DeviceStatus::Failed(0, "cannot list the devices: " + error);

  // The camera driver drives interfaces, so only interface records can take it.
  std::vector<std::string> interfaces;
  std::optional<UsbIdentity> identity;
  for (const std::string& name : *names) {
    if (!IsInterfaceName(name)) continue;
    std::optional<UsbIdentity> candidate = ReadUsbIdentity(devices_dir(), name);
    if (!candidate) continue;
    for (const std::string& id : UsbHardwareIds(*candidate)) {
      if (EqualsIgnoreCase(id, hardware_id)) {
        interfaces.push_back(name);
        identity = candidate;
        break;
      }
    }
  }
  if (interfaces.empty()) return DeviceStatus::NoDevice("");

  const std::string driver_dir = root_ + "/bus/usb/drivers/" + kCameraDriver;
  char new_id[16];
  std::snprintf(new_id, sizeof(new_id), "%04x %04x", identity->vendor, identity->product);
  DeviceStatus status = WriteSysfsAttribute(driver_dir + "/new_id", new_id);
  // The driver already knowing the ID is what was asked for.
  if (!status.ok() && status.error != EEXIST) {
    if (status.error == ENOENT)
      status.detail += " (is the " + std::string(kCameraDriver) + " driver loaded?)";
    return status;
  }

  DeviceStatus first_failure;
  for (const std::string& name : interfaces) {
    const std::string dir = devices_dir() + "/" + name;
    std::string current = BoundDriver(dir);
    if (current == kCameraDriver) continue;
    // An interface left without a driver (the camera driver's probe failed on an earlier
    // run, or another driver was unbound by hand) is bound as well: the new ID alone binds
    // nothing the kernel has already tried.
    DeviceStatus step;
    if (!current.empty()) step = WriteSysfsAttribute(dir + "/driver/unbind", name);
    if (step.ok()) step = WriteSysfsAttribute(driver_dir + "/bind", name);
    // The kernel may have bound it meanwhile through the new ID.
    if (!step.ok() && BoundDriver(dir) == kCameraDriver) step = DeviceStatus();
    if (!step.ok() && first_failure.ok()) first_failure = step;
  }
  return first_failure;
}

}  // namespace ostrel
