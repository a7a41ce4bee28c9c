// Installation: the INF's hardware IDs, the search for a present device, the driver update.
#pragma once

#include <string>

#include "drvsetup/console.h"
#include "platform/devices.h"

namespace ostrel::drvsetup {

inline constexpr char kCantFindInf[] = "Can't find inf file";
inline constexpr char kInfUnfoundOrNothing[] = "inf file unfound or get nothing";
inline constexpr char kInterfaceZeroSuffix[] = "&MI_00";

enum class SearchResult { kFound, kNotFound, kFailed };

// Looks for a present device with a hardware ID that contains id, printing the
// search line first. Upper-cases id in place. kFailed (with a message) when the
// device list could not be read.
SearchResult FindExistingDevice(DeviceSetup& setup, std::string& id, const Console& console);
// The same search in a set the caller holds.
SearchResult FindExistingDevice(DeviceInfoSet& set, std::string& id, const Console& console);

// Installs the INF's driver for interface 0 of the first INF hardware ID that a
// present device carries. Returns the exit code.
int InstallDriver(DeviceSetup& setup, const std::string& inf_path, const Console& console);

// The user's words for a failed change, with the hint that matters most.
std::string DescribeFailure(const DeviceStatus& status);

}  // namespace ostrel::drvsetup
