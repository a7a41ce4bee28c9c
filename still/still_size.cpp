// Still sizes of the Capture menu and the names of the still files.
#include "still/still_size.h"

#include <cstdio>

namespace ostrel::still {

StillSize StillOutputSize(uint32_t index, uint32_t frameWidth, uint32_t frameHeight) {
  if (index < kStillSizeCount && StillSizeTable[index].width != 0) {
    return StillSizeTable[index];
  }
  return {frameWidth, frameHeight};
}

namespace {
template <size_t N>
std::string Format(const char (&format)[N], int32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, format, static_cast<int>(number));
  return name;
}
}  // namespace

std::string SnapshotFileName(int32_t number) { return Format("Still%04d.BMP", number); }

std::string StillPinFileName(int32_t number) { return Format("%04d.BMP", number); }

}  // namespace ostrel::still
