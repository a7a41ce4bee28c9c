// Removal: every device carrying one of the camera's built-in hardware IDs, alone or per interface.
#include "drvsetup/remove.h"

#include <vector>

#include "drvsetup/device_walk.h"
#include "drvsetup/exit_codes.h"
#include "drvsetup/hardware_ids.h"
#include "drvsetup/install.h"

namespace ostrel::drvsetup {

ScanResult RemoveDevicesByHardwareId(DeviceSetup& setup, const std::string& target,
                                     const Console& console) {
  std::string error;
  std::unique_ptr<DeviceInfoSet> set = setup.GetClassDevs(DeviceSetup::Scope::kAll, &error);
  if (!set) {
    console.Message("cannot list the devices: " + error);
    return ScanResult::kListFailed;
  }
  ScanResult result = ScanResult::kCompleted;
  const WalkResult walk =
      WalkHardwareIds(*set, console, [&](std::size_t index, std::string_view hardware_id) {
        if (!HardwareIdEquals(hardware_id, target)) return WalkStep::kNextId;
        // A refused removal is reported, and the scan goes on with the other devices.
        DeviceStatus status = set->RemoveDevice(index);
        if (!status.ok()) {
          console.Message(DescribeFailure(status));
          result = ScanResult::kWriteFailed;
        }
        return WalkStep::kNextDevice;
      });
  return walk == WalkResult::kReadFailed ? ScanResult::kListFailed : result;
}

int RemoveDevicesForId(DeviceSetup& setup, std::size_t index, const Console& console) {
  if (index >= KnownHardwareIds.size()) return kExitOk;
  const std::string id = KnownHardwareIds[index];
  const std::string targets[] = {id + kRemovalInterfaceSuffixes[0],
                                 id + kRemovalInterfaceSuffixes[1], id};
  int exit_code = kExitOk;
  for (const std::string& target : targets) {
    switch (RemoveDevicesByHardwareId(setup, target, console)) {
      case ScanResult::kCompleted:
        break;
      case ScanResult::kWriteFailed:
        exit_code = kExitWriteFailed;
        break;
      case ScanResult::kListFailed:
        return kExitInitFailed;
    }
  }
  return exit_code;
}

int RemoveDevices(DeviceSetup& setup, const Console& console) {
  int exit_code = kExitOk;
  for (std::size_t index = 0; index < KnownHardwareIds.size(); ++index) {
    int code = RemoveDevicesForId(setup, index, console);
    if (code == kExitInitFailed) return code;
    if (code != kExitOk) exit_code = code;
  }
  return exit_code;
}

}  // namespace ostrel::drvsetup
