// One walk over a device set's records and their hardware IDs, shared by the search
// and the removal scans.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "drvsetup/console.h"
#include "platform/devices.h"

namespace ostrel::drvsetup {

// What the visitor wants after seeing one hardware ID of a record.
enum class WalkStep { kNextId, kNextDevice, kStop };
enum class WalkResult { kFinished, kStopped, kReadFailed };

// Hands each record's hardware IDs, in order, to visit(record index, ID). Records
// without the property are passed over; a record whose property cannot be read ends
// the walk with a message.
WalkResult WalkHardwareIds(DeviceInfoSet& set, const Console& console,
                           const std::function<WalkStep(std::size_t, std::string_view)>& visit);

}  // namespace ostrel::drvsetup
