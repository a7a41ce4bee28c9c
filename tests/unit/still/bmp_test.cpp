// The BMP header fields and the writer's file, byte for byte, and its failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "still/bmp.h"

namespace ostrel::still {
namespace {

uint32_t Read32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint32_t Read16(const uint8_t* p) { return p[0] | p[1] << 8; }

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ostrel_bmp_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST(BmpHeader, FieldsOfA1280x960Still) {
  const BmpHeader h = BuildBmpHeader(1280, 960);
  EXPECT_EQ(h[0], 'B');
  EXPECT_EQ(h[1], 'M');
  EXPECT_EQ(Read32(&h[2]), 3'686'454u);
  EXPECT_EQ(Read32(&h[6]), 0u);  // both reserved words
  EXPECT_EQ(Read32(&h[10]), 54u);
  EXPECT_EQ(Read32(&h[14]), 40u);
  EXPECT_EQ(Read32(&h[18]), 1280u);
  EXPECT_EQ(Read32(&h[22]), 960u);
  EXPECT_EQ(Read16(&h[26]), 1u);
  EXPECT_EQ(Read16(&h[28]), 24u);
  EXPECT_EQ(Read32(&h[30]), 0u);
  EXPECT_EQ(Read32(&h[34]), 3'686'400u);
  for (size_t off = 38; off < 54; ++off) EXPECT_EQ(h[off], 0) << off;
}

TEST(BmpHeader, SizesBeyondThe32BitFieldsDoNotFit) {
  EXPECT_TRUE(BmpFits(5120, 3840));
  EXPECT_TRUE(BmpFits(1, 1));
  EXPECT_FALSE(BmpFits(0, 10));
  EXPECT_FALSE(BmpFits(65536, 21846));  // 4,295,098,368 bytes of pixels
}

TEST_F(TempDir, WritesHeaderAndUnpaddedPixelsExactly) {
  // 5 x 2: 15-byte rows, not a multiple of 4, stay unpadded.
  std::vector<uint8_t> pixels(5 * 2 * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + 1);
  const auto path = dir_ / "0001.BMP";
  std::string error;
  ASSERT_TRUE(WriteBmpFile(path.string(), pixels.data(), 5, 2, &error)) << error;
  const auto bytes = ReadFile(path);
  ASSERT_EQ(bytes.size(), 54u + 30u);
  const BmpHeader h = BuildBmpHeader(5, 2);
  EXPECT_TRUE(std::equal(h.begin(), h.end(), bytes.begin()));
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), bytes.begin() + 54));
}

TEST_F(TempDir, A640x480FrameGivesA921654ByteFileAndReplacesAnOldOne) {
  const auto path = dir_ / "Still0000.BMP";
  std::ofstream(path) << std::string(2'000'000, 'x');
  std::vector<uint8_t> frame(640 * 480 * 3, 0x42);
  ASSERT_TRUE(WriteBmpFile(path.string(), frame.data(), 640, 480, nullptr));
  EXPECT_EQ(std::filesystem::file_size(path), 921'654u);
}

TEST_F(TempDir, FailuresAreReportedWithTheReason) {
  const std::vector<uint8_t> pixels(3, 0);
  std::string error;
  EXPECT_FALSE(WriteBmpFile((dir_ / "missing" / "0001.BMP").string(), pixels.data(), 1, 1, &error));
  EXPECT_NE(error.find("Cannot create"), std::string::npos) << error;
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;

  error.clear();
  EXPECT_FALSE(WriteBmpFile((dir_ / "big.BMP").string(), pixels.data(), 70000, 70000, &error));
  EXPECT_NE(error.find("does not fit"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "big.BMP"));
}

TEST_F(TempDir, AFullDiskIsAFailureAndLeavesNoTruncatedFile) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::vector<uint8_t> pixels(64 * 64 * 3, 1);
  std::string error;
  EXPECT_FALSE(WriteBmpFile("/dev/full", pixels.data(), 64, 64, &error));
  EXPECT_NE(error.find("No space"), std::string::npos) << error;
}

}  // namespace
}  // namespace ostrel::still
