// The device-information set drvsetup works through: device records, their hardware IDs, removal,
// driver update.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace ostrel {

// How reading a record's hardware-ID multi-string ended.
enum class PropertyResult {
  kOk,              // the buffer holds the multi-string
  kNoSuchProperty,  // the record carries no hardware IDs
  kBufferTooSmall,  // nothing copied; the required size is reported
  kFailed,          // the record could not be read at all
};

// The outcome of a change to the system.
struct DeviceStatus {
  enum Code {
    kOk,
    kNoDevice,  // nothing present matched, nothing was changed
    kFailed,    // a write to the system failed
  };
  Code code = kOk;
  int error = 0;       // errno of the failed write
  std::string detail;  // what could not be done, in words for the user

  bool ok() const { return code == kOk; }
  static DeviceStatus NoDevice(std::string detail) { return {kNoDevice, 0, std::move(detail)}; }
  static DeviceStatus Failed(int error, std::string detail) {
    return {kFailed, error, std::move(detail)};
  }
};

// A snapshot of device records, numbered from 0 without gaps; lives for one scan.
class DeviceInfoSet {
 public:
  virtual ~DeviceInfoSet() = default;

  // Whether a record exists at this index.
  virtual bool EnumDeviceInfo(std::size_t index) = 0;

  // Copies the record's hardware IDs (zero-terminated strings closed by an empty
  // string) into buffer. *required_size is set whenever the record has the property,
  // so a caller can ask with size 0 first and then with a buffer of that size.
  virtual PropertyResult GetHardwareIds(std::size_t index, char* buffer, std::size_t size,
                                        std::size_t* required_size) = 0;

  // Removes the device of the record (or detaches it from its driver).
  virtual DeviceStatus RemoveDevice(std::size_t index) = 0;
};

// The system's device set-up service.
class DeviceSetup {
 public:
  enum class Scope {
    kPresent,  // devices that are plugged in
    kAll,      // present or not, where the system remembers absent devices
  };

  virtual ~DeviceSetup() = default;

  // A set over every device class; nullptr with *error filled when none can be had.
  virtual std::unique_ptr<DeviceInfoSet> GetClassDevs(Scope scope, std::string* error) = 0;

  // Installs the driver of the INF file on every present device that carries
  // hardware_id as one of its hardware IDs.
  virtual DeviceStatus UpdateDriverForPlugAndPlayDevices(const std::string& hardware_id,
                                                         const std::string& inf_path) = 0;
};

}  // namespace ostrel
