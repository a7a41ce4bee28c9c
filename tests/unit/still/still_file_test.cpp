// Still files that never replace a picture and leave nothing half-written, the numbers
// they skip, and the reused still buffer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "still/bmp.h"
#include "still/still_buffer.h"
#include "still/still_file.h"

namespace ostrel::still {
namespace {

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class StillFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = (std::filesystem::temp_directory_path() /
            ("ostrel_still_file_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name()))
               .string();
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string dir_;
};

TEST_F(StillFileTest, PublishedFileIsTheBmpWriterFileAndNothingElseRemains) {
  std::vector<uint8_t> pixels(6 * 4 * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 5);
  ASSERT_TRUE(WriteBmpFile(dir_ + "/ref.bmp", pixels.data(), 6, 4, nullptr));
  PendingBmp file;
  std::string error;
  ASSERT_TRUE(file.Write(dir_, pixels.data(), 6, 4, false, &error)) << error;
  EXPECT_EQ(file.PublishAs(StillPath(dir_, StillKind::Snapshot, 12), &error),
            PendingBmp::Publish::Done);
  EXPECT_EQ(Read(dir_ + "/Still0012.BMP"), Read(dir_ + "/ref.bmp"));
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"Still0012.BMP", "ref.bmp"}));

  // Reversed rows: the last row first.
  ASSERT_TRUE(file.Write(dir_, pixels.data(), 6, 4, true, &error));
  ASSERT_EQ(file.PublishAs(dir_ + "/rev.bmp", &error), PendingBmp::Publish::Done);
  const std::string rev = Read(dir_ + "/rev.bmp").substr(54);
  const std::string fwd(pixels.begin(), pixels.end());
  for (int y = 0; y < 4; ++y) EXPECT_EQ(rev.substr(18 * y, 18), fwd.substr(18 * (3 - y), 18));
}

TEST_F(StillFileTest, ANameThatExistsIsNeverReplacedAndTheFileStaysPending) {
  std::ofstream(dir_ + "/0003.BMP") << "someone's picture";
  std::filesystem::create_symlink(dir_ + "/nowhere", dir_ + "/0004.BMP");
  const uint8_t pixel[3] = {1, 2, 3};
  std::string error;
  {
    PendingBmp file;
    ASSERT_TRUE(file.Write(dir_, pixel, 1, 1, false, &error));
    EXPECT_EQ(file.PublishAs(dir_ + "/0003.BMP", &error), PendingBmp::Publish::Taken);
    EXPECT_EQ(file.PublishAs(dir_ + "/0004.BMP", &error), PendingBmp::Publish::Taken);
    EXPECT_EQ(Read(dir_ + "/0003.BMP"), "someone's picture");
    EXPECT_EQ(file.PublishAs(dir_ + "/0005.BMP", &error), PendingBmp::Publish::Done);
    EXPECT_EQ(file.PublishAs(dir_ + "/0006.BMP", &error), PendingBmp::Publish::Failed);
  }
  {
    PendingBmp abandoned;
    ASSERT_TRUE(abandoned.Write(dir_, pixel, 1, 1, false, &error));
  }
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"0003.BMP", "0004.BMP", "0005.BMP"}));
}

TEST_F(StillFileTest, FreeNumbersSkipBothNamesOfANumber) {
  for (const char* name : {"Still0000.BMP", "0001.BMP", "Still0002.BMP", "0002.BMP"})
    std::ofstream(dir_ + "/" + name) << "x";
  EXPECT_TRUE(StillNumberInUse(dir_, 1));
  EXPECT_FALSE(StillNumberInUse(dir_, 3));
  EXPECT_EQ(NextFreeStillNumber(dir_, 0), 3);
  EXPECT_EQ(NextFreeStillNumber(dir_, 7), 7);
  EXPECT_EQ(NextFreeStillNumber(dir_, INT32_MAX), INT32_MAX);
  EXPECT_EQ(StillPath("/", StillKind::StillPin, 10000), "//10000.BMP");
}

TEST_F(StillFileTest, AFolderThatCannotTakeTheFileSaysWhyAndKeepsNothing) {
  const uint8_t pixel[3] = {};
  PendingBmp file;
  std::string error;
  EXPECT_FALSE(file.Write(dir_ + "/missing", pixel, 1, 1, false, &error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_FALSE(file.Write(dir_, pixel, 70000, 70000, false, &error)) << "too big for a BMP";
  EXPECT_EQ(file.PublishAs(dir_ + "/x.BMP", &error), PendingBmp::Publish::Failed);
  EXPECT_TRUE(Entries(dir_).empty());
}

TEST(StillBuffer, GrowsOnHugePageBoundariesIsReusedAndSurvivesARefusal) {
  StillBuffer buffer;
  uint8_t* first = buffer.Get(59'000'000);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % (2u << 20), 0u);
  first[58'999'999] = 7;
  EXPECT_EQ(buffer.Get(1000), first);
  EXPECT_EQ(buffer.Get(buffer.Capacity()), first);
  EXPECT_EQ(buffer.Get(SIZE_MAX / 2), nullptr);
  EXPECT_EQ(buffer.Get(10), first) << "a refused request keeps the buffer";
  EXPECT_EQ(first[58'999'999], 7);
}

}  // namespace
}  // namespace ostrel::still
