// Installation: the INF's hardware IDs, the search for a present device, the driver update.
#include "drvsetup/install.h"

#include <cerrno>
#include <vector>

#include "drvsetup/device_walk.h"
#include "drvsetup/exit_codes.h"
#include "drvsetup/hardware_ids.h"
#include "drvsetup/inf_scan.h"

namespace ostrel::drvsetup {

std::string DescribeFailure(const DeviceStatus& status) {
  std::string text = status.detail;
  if (status.error == EACCES || status.error == EPERM) {
    text += "; drvsetup must run as root";
  }
  return text;
}

SearchResult FindExistingDevice(DeviceInfoSet& set, std::string& id, const Console& console) {
  console.out << "FindExistingDevice()\tSearch for Device ID: [" << id << "]\n" << std::flush;
  UpperCaseInPlace(id);

  const WalkResult walk =
      WalkHardwareIds(set, console, [&id](std::size_t, std::string_view hardware_id) {
        return HardwareIdContains(hardware_id, id) ? WalkStep::kStop : WalkStep::kNextId;
      });
  switch (walk) {
    case WalkResult::kStopped:
      return SearchResult::kFound;
    case WalkResult::kReadFailed:
      return SearchResult::kFailed;
    case WalkResult::kFinished:
      break;
  }
  return SearchResult::kNotFound;
}

namespace {

std::unique_ptr<DeviceInfoSet> PresentDevices(DeviceSetup& setup, const Console& console) {
  std::string error;
  std::unique_ptr<DeviceInfoSet> set = setup.GetClassDevs(DeviceSetup::Scope::kPresent, &error);
  if (!set) console.Message("cannot list the devices: " + error);
  return set;
}

}  // namespace

SearchResult FindExistingDevice(DeviceSetup& setup, std::string& id, const Console& console) {
  std::unique_ptr<DeviceInfoSet> set = PresentDevices(setup, console);
  return set ? FindExistingDevice(*set, id, console) : SearchResult::kFailed;
}

int InstallDriver(DeviceSetup& setup, const std::string& inf_path, const Console& console) {
  std::vector<std::string> ids;
  InfReadResult read = ReadInfHardwareIds(&ids, inf_path);
  switch (read.code) {
    case InfReadResult::kOk:
      break;
    case InfReadResult::kMissing:
      console.Message(kCantFindInf);
      console.Message(kInfUnfoundOrNothing);
      return kExitBadInf;
    case InfReadResult::kUnreadable:
      console.Message("cannot read inf file " + inf_path + ": " + read.reason);
      console.Message(kInfUnfoundOrNothing);
      return kExitBadInf;
    case InfReadResult::kNoIds:
      console.Message(kInfUnfoundOrNothing);
      return kExitBadInf;
  }
  // One set of the present devices serves every search: an INF may name many thousands
  // of IDs, and reading every device's descriptors again for each would take minutes.
  std::unique_ptr<DeviceInfoSet> present = PresentDevices(setup, console);
  if (!present) return kExitInitFailed;
  for (std::string& id : ids) {
    switch (FindExistingDevice(*present, id, console)) {
      case SearchResult::kNotFound:
        continue;
      case SearchResult::kFailed:
        return kExitInitFailed;
      case SearchResult::kFound:
        break;
    }
    // Only the first INF entry with a present device is updated.
    present.reset();
    const std::string interface_zero = id + kInterfaceZeroSuffix;
    DeviceStatus status = setup.UpdateDriverForPlugAndPlayDevices(interface_zero, inf_path);
    switch (status.code) {
      case DeviceStatus::kOk:
        return kExitOk;
      case DeviceStatus::kNoDevice:
        console.Message("no present device has the hardware ID " + interface_zero +
                        (status.detail.empty() ? "" : ": " + status.detail));
        return kExitNoDevice;
      case DeviceStatus::kFailed:
        console.Message(DescribeFailure(status));
        return kExitWriteFailed;
    }
  }
  console.Message("no present device carries a hardware ID of the inf file");
  return kExitNoDevice;
}

}  // namespace ostrel::drvsetup
