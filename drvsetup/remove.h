// Removal: every device carrying one of the camera's built-in hardware IDs, alone or per interface.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "drvsetup/console.h"
#include "platform/devices.h"

namespace ostrel::drvsetup {

inline constexpr std::array<const char*, 2> KnownHardwareIds = {"USB\\Vid_1D3C&Pid_0200",
                                                                "USB\\Vid_0F1A&Pid_3301"};
inline constexpr std::array<const char*, 2> kRemovalInterfaceSuffixes = {"&Mi_00", "&Mi_01"};

enum class ScanResult {
  kCompleted,    // every record was looked at and every removal worked
  kWriteFailed,  // the scan went on, but at least one removal was refused
  kListFailed,   // the device list could not be read
};

// Removes every device, present or not, with a hardware ID equal to target (any case).
ScanResult RemoveDevicesByHardwareId(DeviceSetup& setup, const std::string& target,
                                     const Console& console);

// The three scans of one built-in ID: with "&Mi_00", with "&Mi_01", alone.
// Returns the exit code; an index above 1 does nothing.
int RemoveDevicesForId(DeviceSetup& setup, std::size_t index, const Console& console);

// The six scans, built-in ID 0 then 1. Returns the exit code.
int RemoveDevices(DeviceSetup& setup, const Console& console);

}  // namespace ostrel::drvsetup
