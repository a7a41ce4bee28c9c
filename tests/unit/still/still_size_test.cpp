// Still sizes by index and the names of the still files.
#include <gtest/gtest.h>

#include "still/still_size.h"

namespace ostrel::still {
namespace {

TEST(StillSize, TableSizesAndTheFrameSizeElsewhere) {
  const StillSize expected[] = {{0, 0},       {320, 240},   {640, 480},  {800, 600},
                                {1280, 960},  {1600, 1200}, {0, 0},      {2560, 1920},
                                {3200, 2400}, {4096, 3072}, {5120, 3840}};
  for (uint32_t i = 0; i < 11; ++i) {
    const StillSize frame{352, 288};
    const StillSize want = expected[i].width ? expected[i] : frame;
    EXPECT_EQ(StillOutputSize(i, 352, 288), want) << i;
    // Every table width gives rows whose 3-byte pixels fill whole 4-byte words.
    EXPECT_EQ(StillSizeTable[i].width * 3 % 4, 0u) << i;
  }
  for (uint32_t i : {11u, 12u, 1000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(StillOutputSize(i, 641, 479), (StillSize{641, 479})) << i;
  }
}

TEST(StillFileName, FourDigitsAtLeast) {
  EXPECT_EQ(SnapshotFileName(0), "Still0000.BMP");
  EXPECT_EQ(SnapshotFileName(42), "Still0042.BMP");
  EXPECT_EQ(SnapshotFileName(9999), "Still9999.BMP");
  EXPECT_EQ(SnapshotFileName(10000), "Still10000.BMP");
  EXPECT_EQ(StillPinFileName(7), "0007.BMP");
  EXPECT_EQ(StillPinFileName(123456), "123456.BMP");
  EXPECT_EQ(StillPinFileName(2147483647), "2147483647.BMP");
  EXPECT_EQ(StillPinFileName(-5), "-005.BMP");
}

}  // namespace
}  // namespace ostrel::still
