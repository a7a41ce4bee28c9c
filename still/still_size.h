// Still sizes of the Capture menu and the names of the still files.
#pragma once

#include <cstdint>
#include <string>

namespace ostrel::still {

struct StillSize {
  uint32_t width;
  uint32_t height;
  bool operator==(const StillSize& o) const { return width == o.width && height == o.height; }
};

// Output size of each still size index; {0, 0} stands for the frame's own size. Index 6
// has no menu command (it can only come from the settings file).
inline constexpr StillSize StillSizeTable[] = {
    {0, 0}, {320, 240},   {640, 480},   {800, 600},   {1280, 960},  {1600, 1200},
    {0, 0}, {2560, 1920}, {3200, 2400}, {4096, 3072}, {5120, 3840},
};
inline constexpr uint32_t kStillSizeCount = sizeof(StillSizeTable) / sizeof(StillSizeTable[0]);

// The size a still of a frameWidth x frameHeight frame is written at; indices without a
// table size (0, 6 and all above 10) give the frame's own size.
StillSize StillOutputSize(uint32_t index, uint32_t frameWidth, uint32_t frameHeight);

// "Still%04d.BMP": the file of the Snap Shot command.
std::string SnapshotFileName(int32_t number);
// "%04d.BMP": the file of a frame from the camera's still pin.
std::string StillPinFileName(int32_t number);

}  // namespace ostrel::still
