// WalkHardwareIds: records by index until the set has no more.
#include "drvsetup/device_walk.h"

#include <string>
#include <vector>

#include "drvsetup/hardware_ids.h"

namespace ostrel::drvsetup {

WalkResult WalkHardwareIds(DeviceInfoSet& set, const Console& console,
                           const std::function<WalkStep(std::size_t, std::string_view)>& visit) {
  std::vector<char> buffer;
  for (std::size_t index = 0; set.EnumDeviceInfo(index); ++index) {
    switch (ReadHardwareIdProperty(set, index, &buffer)) {
      case PropertyResult::kOk:
        break;
      case PropertyResult::kNoSuchProperty:
        continue;
      default:
        console.Message("cannot read the hardware IDs of device " + std::to_string(index));
        return WalkResult::kReadFailed;
    }
    for (std::string_view hardware_id : SplitMultiString(buffer)) {
      const WalkStep step = visit(index, hardware_id);
      if (step == WalkStep::kStop) return WalkResult::kStopped;
      if (step == WalkStep::kNextDevice) break;
    }
  }
  return WalkResult::kFinished;
}

}  // namespace ostrel::drvsetup
