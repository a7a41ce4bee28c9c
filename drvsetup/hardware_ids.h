// The text rules of hardware IDs: upper-casing, the two matching rules and multi-string reading.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/devices.h"

namespace ostrel::drvsetup {

// Upper-cases the ASCII letters in place; other bytes stay as they are.
void UpperCaseInPlace(std::string& text);

// The search rule: id occurs anywhere in hardware_id, both compared upper-cased.
bool HardwareIdContains(std::string_view hardware_id, std::string_view id);

// The removal rule: the whole strings are equal, ignoring case.
bool HardwareIdEquals(std::string_view hardware_id, std::string_view target);

// The strings of a multi-string, up to the closing empty string or the end of the
// buffer, whichever comes first (a buffer without its terminators is read safely).
std::vector<std::string_view> SplitMultiString(const std::vector<char>& buffer);

// Reads the hardware-ID property of one record into buffer, growing it zero-filled
// to the size the set reports. Returns kOk, kNoSuchProperty or kFailed.
PropertyResult ReadHardwareIdProperty(DeviceInfoSet& set, std::size_t index,
                                      std::vector<char>* buffer);

}  // namespace ostrel::drvsetup
