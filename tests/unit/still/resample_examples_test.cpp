// The resampler's worked examples and its edge sizes, at every instruction-set level.
#include <gtest/gtest.h>

#include <vector>

#include "reference_resample.h"
#include "resample_test_util.h"
#include "still/resample.h"
#include "still/resample_grid.h"

namespace ostrel::still::testing {
namespace {

class ResampleExamples : public ::testing::TestWithParam<SimdLevel> {
 protected:
  std::vector<uint8_t> Run(const std::vector<uint8_t>& src, uint32_t sw, uint32_t sh, uint32_t dw,
                           uint32_t dh) {
    return Resample(GetParam(), src, sw, sh, dw, dh);
  }
};

TEST_P(ResampleExamples, EnlargingTwoByTwoRepeatsTheLastColumnAndRow) {
  const auto out = Run(Gray({0, 64, 128, 255}), 2, 2, 4, 4);
  EXPECT_EQ(out, Gray({0, 32, 64, 64,       //
                       64, 112, 160, 160,   //
                       128, 192, 255, 255,  //
                       128, 192, 255, 255}));
}

TEST_P(ResampleExamples, ReductionWithRemainderInterpolatesWithoutVerticalScaling) {
  const std::vector<uint8_t> row = {0, 255, 0, 255, 0, 255};
  std::vector<uint8_t> rows = row;
  rows.insert(rows.end(), row.begin(), row.end());
  EXPECT_EQ(Run(Gray(rows), 6, 2, 4, 2), Gray({0, 128, 255, 128, 0, 128, 255, 128}));
}

TEST_P(ResampleExamples, WholeFactorReductionBoxAveragesAndTruncates) {
  EXPECT_EQ(Run(Gray({10, 20, 30, 40, 50, 60, 70, 80}), 4, 2, 2, 1), Gray({35, 55}));
  // 6 x 4 to 3 x 2 averages 2 x 2 blocks: (1 + 2 + 3 + 5) / 4 truncates to 2.
  const std::vector<uint8_t> src = {1, 2, 9, 9, 0,   0,    //
                                    3, 5, 9, 8, 0,   1,    //
                                    4, 4, 7, 7, 200, 201,  //
                                    4, 5, 7, 7, 202, 203};
  EXPECT_EQ(Run(Gray(src), 6, 4, 3, 2), Gray({2, 8, 0, 4, 7, 201}));
}

TEST_P(ResampleExamples, DifferentRatiosInterpolate) {
  // 6 x 4 to 3 x 4: xs = 128 samples every other column with fraction 0, no averaging.
  std::vector<uint8_t> src;
  for (int i = 0; i < 24; ++i) src.push_back(static_cast<uint8_t>(10 * i));
  EXPECT_EQ(Run(Gray(src), 6, 4, 3, 4),
            Gray({0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220}));
}

TEST_P(ResampleExamples, ThreeToFourStepsBy48AndRepeatsOneColumnAndRow) {
  const auto grid = ChooseResampleGrid(3, 3, 4, 4);
  EXPECT_FALSE(grid.box);
  EXPECT_EQ(grid.xs, 48u);
  EXPECT_EQ(grid.ys, 48u);
  EXPECT_EQ(grid.tx, 1u);
  EXPECT_EQ(grid.ty, 1u);
  // Positions 0, 48, 96 (= pixel 1 + 32/64): [0, 64, 128] gives [0, 48, 96, 96].
  const auto out = Run(Gray({0, 64, 128, 0, 64, 128, 0, 64, 128}), 3, 3, 4, 4);
  const auto row = Gray({0, 48, 96, 96});
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + r * 12, out.begin() + r * 12 + 12), row) << r;
  }
  const auto column = Run(Gray({0, 64, 128}), 1, 3, 1, 4);
  EXPECT_EQ(column, Gray({0, 48, 96, 96}));
}

TEST_P(ResampleExamples, EqualSizesCopyByteForByte) {
  std::mt19937 rng(7);
  for (auto [w, h] : {std::pair{1u, 1u}, {5u, 3u}, {640u, 480u}}) {
    const auto src = RandomImage(size_t{w} * h, rng);
    EXPECT_EQ(Run(src, w, h, w, h), src) << w << "x" << h;
  }
}

TEST_P(ResampleExamples, DoublingStepsHalfPixelsAndRepeatsTheLastColumnAndRow) {
  std::mt19937 rng(11);
  const auto src = RandomImage(640 * 480, rng);
  const auto out = Run(src, 640, 480, 1280, 960);
  const size_t line = 1280 * 3;
  // Even output pixels of even rows are the source pixels themselves.
  for (size_t y : {0u, 2u, 478u}) {
    for (size_t x : {0u, 1u, 319u, 638u}) {
      for (size_t c = 0; c < 3; ++c) {
        ASSERT_EQ(out[2 * y * line + 2 * x * 3 + c], src[(y * 640 + x) * 3 + c]);
      }
    }
  }
  for (size_t y = 0; y < 960; ++y) {
    const uint8_t* row = out.data() + y * line;
    ASSERT_TRUE(std::equal(row + 1279 * 3, row + 1280 * 3, row + 1278 * 3)) << y;
  }
  EXPECT_TRUE(std::equal(out.begin() + 959 * line, out.end(), out.begin() + 958 * line));
  EXPECT_EQ(out, ReferenceResample(src, 640, 480, 1280, 960));
}

TEST_P(ResampleExamples, SurplusBelowOneSixtyFourthIsNotScaling) {
  std::mt19937 rng(3);
  const auto src = RandomImage(66 * 70, rng);
  // 66 -> 65 columns and 70 -> 69 rows: the first pixels and rows are taken unchanged.
  const auto out = Run(src, 66, 70, 65, 69);
  for (size_t y = 0; y < 69; ++y) {
    ASSERT_TRUE(std::equal(out.begin() + y * 65 * 3, out.begin() + (y + 1) * 65 * 3,
                           src.begin() + y * 66 * 3))
        << y;
  }
  // 65 -> 64 is scaling (xs = 65).
  EXPECT_EQ(ChooseResampleGrid(65, 1, 64, 1).xs, 65u);
  EXPECT_EQ(Run(src, 65, 70, 64, 69), ReferenceResample(src, 65, 70, 64, 69));
}

TEST_P(ResampleExamples, OnePixelAxesRepeatThatPixel) {
  const auto pixel = std::vector<uint8_t>{10, 20, 30};
  std::vector<uint8_t> expected;
  for (int i = 0; i < 7 * 5; ++i) expected.insert(expected.end(), pixel.begin(), pixel.end());
  EXPECT_EQ(Run(pixel, 1, 1, 7, 5), expected);
  // A one-row source to many rows: every row is the source row resampled.
  const auto row = Gray({0, 100, 200});
  const auto out = Run(row, 3, 1, 5, 4);
  for (int r = 1; r < 4; ++r) {
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 15, out.begin() + r * 15)) << r;
  }
  EXPECT_EQ(out, ReferenceResample(row, 3, 1, 5, 4));
  // A one-column source repeats across the row.
  const auto column = Gray({0, 100, 200});
  EXPECT_EQ(Run(column, 1, 3, 4, 3), Gray({0, 0, 0, 0, 100, 100, 100, 100, 200, 200, 200, 200}));
}

TEST_P(ResampleExamples, OneByOneDestination) {
  // Equal factors average everything; unequal ones take the first pixel.
  EXPECT_EQ(Run(Gray({10, 20, 30, 41}), 2, 2, 1, 1), Gray({25}));
  EXPECT_EQ(Run(Gray({10, 20, 30, 40, 50, 60}), 3, 2, 1, 1), Gray({10}));
}

TEST_P(ResampleExamples, ZeroSizesTouchNothing) {
  std::vector<uint8_t> dst(48, 0x5A);
  const std::vector<uint8_t> src(48, 1);
  for (auto [sw, sh, dw, dh] :
       {std::tuple{0u, 4u, 4u, 4u}, {4u, 0u, 4u, 4u}, {4u, 4u, 0u, 4u}, {4u, 4u, 4u, 0u}}) {
    ResampleRGB24AtLevel(GetParam(), dst.data(), src.data(), sw, sh, dw, dh);
  }
  ResampleRGB24(nullptr, nullptr, 0, 0, 0, 0);
  EXPECT_EQ(dst, std::vector<uint8_t>(48, 0x5A));
}

INSTANTIATE_TEST_SUITE_P(Levels, ResampleExamples, ::testing::ValuesIn(LevelsToTest()),
                         [](const auto& info) { return LevelName(info.param); });

TEST(ResampleGrid, TypicalParameters) {
  struct Row {
    uint32_t sw, sh, dw, dh;
    ResampleGrid grid;
  };
  const Row rows[] = {
      {640, 480, 320, 240, {true, 2}},
      {640, 480, 640, 480, {true, 1}},
      {640, 480, 800, 600, {false, 0, 51, 51, 1, 1}},
      {640, 480, 1280, 960, {false, 0, 32, 32, 1, 1}},
      {640, 480, 5120, 3840, {false, 0, 8, 8, 7, 7}},
      {1280, 720, 640, 480, {false, 0, 128, 96, 0, 0}},
      {1280, 1024, 1600, 1200, {false, 0, 51, 54, 1, 1}},
      {6, 4, 3, 2, {true, 2}},
      {6, 4, 3, 4, {false, 0, 128, 64, 0, 0}},
      {66, 1, 65, 1, {false, 0, 64, 64, 0, 0}},
  };
  for (const Row& r : rows) {
    const ResampleGrid g = ChooseResampleGrid(r.sw, r.sh, r.dw, r.dh);
    SCOPED_TRACE(::testing::Message() << r.sw << "x" << r.sh << " -> " << r.dw << "x" << r.dh);
    EXPECT_EQ(g.box, r.grid.box);
    EXPECT_EQ(g.k, r.grid.k);
    EXPECT_EQ(g.xs, r.grid.xs);
    EXPECT_EQ(g.ys, r.grid.ys);
    EXPECT_EQ(g.tx, r.grid.tx);
    EXPECT_EQ(g.ty, r.grid.ty);
  }
}

}  // namespace
}  // namespace ostrel::still::testing
