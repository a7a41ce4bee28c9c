// The text rules of hardware IDs: upper-casing, the two matching rules and multi-string reading.
#include "drvsetup/hardware_ids.h"

#include <algorithm>

namespace ostrel::drvsetup {
namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// A set that keeps reporting a new size is broken; give up rather than loop forever.
constexpr int kMaxPropertyAttempts = 8;

}  // namespace

void UpperCaseInPlace(std::string& text) {
  for (char& c : text) c = UpperAscii(c);
}

bool HardwareIdContains(std::string_view hardware_id, std::string_view id) {
  auto equal = [](char a, char b) { return UpperAscii(a) == UpperAscii(b); };
  return std::search(hardware_id.begin(), hardware_id.end(), id.begin(), id.end(), equal) !=
         hardware_id.end();
}

bool HardwareIdEquals(std::string_view hardware_id, std::string_view target) {
  return hardware_id.size() == target.size() &&
         std::equal(hardware_id.begin(), hardware_id.end(), target.begin(),
                    [](char a, char b) { return UpperAscii(a) == UpperAscii(b); });
}

std::vector<std::string_view> SplitMultiString(const std::vector<char>& buffer) {
  std::vector<std::string_view> strings;
  std::size_t pos = 0;
  while (pos < buffer.size() && buffer[pos] != '\0') {
    const char* start = buffer.data() + pos;
    auto end = std::find(buffer.begin() + pos, buffer.end(), '\0');
    std::size_t length = static_cast<std::size_t>(end - buffer.begin()) - pos;
    strings.emplace_back(start, length);
    pos += length + 1;
  }
  return strings;
}

PropertyResult ReadHardwareIdProperty(DeviceInfoSet& set, std::size_t index,
                                      std::vector<char>* buffer) {
  buffer->clear();
  for (int attempt = 0; attempt < kMaxPropertyAttempts; ++attempt) {
    std::size_t required = 0;
    PropertyResult result = set.GetHardwareIds(index, buffer->empty() ? nullptr : buffer->data(),
                                               buffer->size(), &required);
    switch (result) {
      case PropertyResult::kOk:
      case PropertyResult::kNoSuchProperty:
      case PropertyResult::kFailed:
        return result;
      case PropertyResult::kBufferTooSmall:
        if (required <= buffer->size()) return PropertyResult::kFailed;
        buffer->assign(required, '\0');
        break;
    }
  }
  return PropertyResult::kFailed;
}

}  // namespace ostrel::drvsetup
