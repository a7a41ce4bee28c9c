// The filter's pictures: a copy at the input's own size, ResampleRGB24's bytes at any other,
// letterboxed so that the picture keeps its shape.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <tuple>

#include "plugins/transfer/transfer_register.h"
#include "transfer_pipeline.h"

namespace transfer_test {
namespace {

struct Size {
  int width;
  int height;
};
void PrintTo(const Size& size, std::ostream* os) { *os << size.width << "x" << size.height; }

// 318 x 241 has BGR rows of 954 bytes that GStreamer pads to 956.
const Size kInputs[] = {{640, 480}, {318, 241}};

class TransferScaling : public ::testing::TestWithParam<std::tuple<Size, Size, std::string>> {
 protected:
  static void SetUpTestSuite() { transfer::RegisterStatic(); }
};

// Output and the reference bytes compared as B,G,R; a BGRx output must also be opaque.
void ExpectPicture(const PackedFrame& out, const std::vector<uint8_t>& expected) {
  if (out.format == "BGRx") {
    bool opaque = false;
    const std::vector<uint8_t> bgr = DropPadding(out, &opaque);
    EXPECT_TRUE(opaque);
    EXPECT_TRUE(bgr == expected);
  } else {
    ASSERT_EQ(out.format, "BGR");
    EXPECT_TRUE(out.bytes == expected);
  }
}

TEST_P(TransferScaling, OutputIsTheResampledInput) {
  const auto& [in, size, format] = GetParam();
  const FramePair pair = RunOneFrame(in.width, in.height, size.width, size.height, format);
  ASSERT_EQ(pair.in.width, in.width);
  ASSERT_EQ(pair.out.width, size.width);
  ASSERT_EQ(pair.out.height, size.height);
  EXPECT_EQ(pair.out.format, format.empty() ? "BGRx" : format);
  ExpectPicture(pair.out, Letterboxed(pair.in, size.width, size.height));
}

std::string Name(const ::testing::TestParamInfo<TransferScaling::ParamType>& info) {
  const auto& [in, size, format] = info.param;
  return std::to_string(in.width) + "x" + std::to_string(in.height) + "_to_" +
         std::to_string(size.width) + "x" + std::to_string(size.height) + "_" +
         (format.empty() ? "default" : format);
}

// 321 x 241 BGR rows are padded on the output side too. 1280 x 720 and 640 x 720 bar a
// 4:3 picture at its sides and above and below it.
INSTANTIATE_TEST_SUITE_P(
    Sizes, TransferScaling,
    ::testing::Combine(::testing::Values(kInputs[0], kInputs[1], Size{640, 360}),
                       ::testing::Values(Size{320, 240}, Size{1280, 960}, Size{321, 241},
                                         Size{1280, 720}, Size{640, 720}),
                       ::testing::Values(std::string(), std::string("BGR"))),
    Name);

class TransferIdentity : public ::testing::TestWithParam<Size> {
 protected:
  static void SetUpTestSuite() { transfer::RegisterStatic(); }
};

TEST_P(TransferIdentity, DefaultIsTheInputSizeAsOpaqueBgrx) {
  const Size in = GetParam();
  // Snow is grey: the colours tell B, G and R apart.
  for (const char* pattern : {"snow", "colors"}) {
    SCOPED_TRACE(pattern);
    const FramePair pair = RunOneFrame(in.width, in.height, 0, 0, "", pattern);
    ASSERT_EQ(pair.in.width, in.width);
    EXPECT_EQ(pair.out.width, in.width);
    EXPECT_EQ(pair.out.height, in.height);
    EXPECT_EQ(pair.out.format, "BGRx");
    ExpectPicture(pair.out, pair.in.bytes);
  }
}

TEST_P(TransferIdentity, BgrAtTheInputSizeIsHandedOnUntouched) {
  const Size in = GetParam();
  const FramePair pair = RunOneFrame(in.width, in.height, 0, 0, "BGR");
  ASSERT_EQ(pair.out.width, in.width);
  EXPECT_TRUE(pair.sameBuffer);
  EXPECT_TRUE(pair.out.bytes == pair.in.bytes);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TransferIdentity, ::testing::ValuesIn(kInputs),
                         [](const ::testing::TestParamInfo<Size>& info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height);
                         });

TEST(TransferAxes, ChosenSizeEqualToTheInputIsACopy) {
  transfer::RegisterStatic();
  const FramePair pair = RunOneFrame(640, 480, 640, 480);
  ASSERT_EQ(pair.out.width, 640);
  ASSERT_EQ(pair.out.height, 480);
  ExpectPicture(pair.out, pair.in.bytes);
}

TEST(TransferAxes, AnAxisLeftAtZeroKeepsTheInputsLength) {
  transfer::RegisterStatic();
  const FramePair pair = RunOneFrame(640, 480, 320, 0);
  ASSERT_EQ(pair.out.width, 320);
  ASSERT_EQ(pair.out.height, 480);
  ExpectPicture(pair.out, Letterboxed(pair.in, 320, 480));
}

// A 16:9 camera at 320 x 240: the picture is 320 x 180 between two black bars of 30 rows,
// not squashed to the full height; a 4:3 camera at 1280 x 720 is 960 wide between bars.
TEST(TransferAxes, APictureOfAnotherShapeKeepsItsShapeBetweenBlackBars) {
  transfer::RegisterStatic();
  struct Case {
    Size in, out;
    int left, top, width, height;
  };
  for (const Case& c : {Case{{1280, 720}, {320, 240}, 0, 30, 320, 180},
                        Case{{640, 480}, {1280, 720}, 160, 0, 960, 720}}) {
    const FramePair pair =
        RunOneFrame(c.in.width, c.in.height, c.out.width, c.out.height, "BGR", "smpte");
    ASSERT_EQ(pair.out.width, c.out.width);
    ASSERT_EQ(pair.out.height, c.out.height);
    const auto at = [&](int x, int y) {
      return &pair.out.bytes[(size_t(y) * c.out.width + x) * 3];
    };
    const auto black = [](const uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; };
    EXPECT_TRUE(black(at(0, 0)) && black(at(c.out.width - 1, c.out.height - 1)));
    EXPECT_TRUE(black(at(c.left ? c.left - 1 : 0, c.top ? c.top - 1 : 0)))
        << c.in.width << "x" << c.in.height << ": the bar ends where the picture starts";
    // smpte's top-left bar is light grey: the picture starts right after the bar.
    EXPECT_GT(at(c.left, c.top)[0], 150) << c.in.width << "x" << c.in.height;
    EXPECT_GT(at(c.left + c.width - 2, c.top + c.height / 3)[0], 100)
        << "the blue bar ends at the right bar";
    const std::vector<uint8_t> picture = Resampled(pair.in, c.width, c.height);
    EXPECT_EQ(0, std::memcmp(at(c.left, c.top + c.height / 2),
                             &picture[size_t(c.height / 2) * c.width * 3], size_t(c.width) * 3));
  }
}

}  // namespace
}  // namespace transfer_test
