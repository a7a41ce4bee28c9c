// LinuxSystem against a private home folder.
#include "platform/linux/linux_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class LinuxSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ostrel-home-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    home = tmpl;
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override { std::filesystem::remove_all(home); }

  void UserDirs(const std::string& text) {
    std::filesystem::create_directories(home + "/.config");
    std::ofstream(home + "/.config/user-dirs.dirs") << text;
  }

  std::string home;
  platform::LinuxSystem system;
};

TEST_F(LinuxSystemTest, FoldersFollowTheUserDirsFileAndAreMadeWhenMissing) {
  // A bare home: the XDG defaults are made rather than files written into home itself.
  EXPECT_EQ(system.PicturesFolder(), home + "/Pictures");
  EXPECT_EQ(system.VideosFolder(), home + "/Videos");
  EXPECT_TRUE(std::filesystem::is_directory(home + "/Videos"));
  UserDirs(
      "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\nXDG_PICTURES_DIR=\"$HOME/Pics\"\n"
      "XDG_VIDEOS_DIR=\"$HOME\"\n");
  EXPECT_EQ(system.DocumentsFolder(), home + "/Docs") << "made where the file says";
  EXPECT_EQ(system.PicturesFolder(), home + "/Pics");
  EXPECT_TRUE(std::filesystem::is_directory(home + "/Pics"));
  std::filesystem::remove(home + "/Videos");
  EXPECT_EQ(system.VideosFolder(), "") << "switched off by naming the home folder";
  EXPECT_FALSE(std::filesystem::exists(home + "/Videos"));
  EXPECT_EQ(system.ConfigFolder(), home + "/.config/ostrel");
  ::setenv("XDG_CONFIG_HOME", (home + "/cfg").c_str(), 1);
  EXPECT_EQ(system.ConfigFolder(), home + "/cfg/ostrel");
}

TEST_F(LinuxSystemTest, ModulePathIsThisExecutable) {
  EXPECT_EQ(system.ModulePath(), std::filesystem::canonical("/proc/self/exe").string());
  EXPECT_TRUE(system.PathExists(system.ModulePath()));
  EXPECT_FALSE(system.PathExists(""));
  // A link that leads nowhere is no path, yet its name is taken.
  std::filesystem::create_symlink(home + "/gone", home + "/Clip0000.AVI");
  EXPECT_FALSE(system.PathExists(home + "/Clip0000.AVI"));
  EXPECT_TRUE(system.NameTaken(home + "/Clip0000.AVI"));
  EXPECT_FALSE(system.NameTaken(home + "/Clip0001.AVI"));
  EXPECT_TRUE(system.IsWritableFolder(home));
  EXPECT_FALSE(system.IsWritableFolder(home + "/missing"));
}

TEST_F(LinuxSystemTest, UiLocaleReadsTheMessageLocale) {
  ::unsetenv("LANGUAGE");
  ::unsetenv("LC_ALL");
  ::unsetenv("LC_MESSAGES");
  ::setenv("LANG", "pl_PL.UTF-8", 1);
  EXPECT_EQ(system.UiLocale(), "pl_PL.UTF-8");
  ::setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
  EXPECT_EQ(system.UiLocale(), "ja_JP.UTF-8");
}

TEST_F(LinuxSystemTest, SleepAdvancesTheMillisecondClock) {
  uint32_t before = system.Milliseconds();
  system.Sleep(20);
  EXPECT_GE(static_cast<uint32_t>(system.Milliseconds() - before), 20u);
}

}  // namespace
