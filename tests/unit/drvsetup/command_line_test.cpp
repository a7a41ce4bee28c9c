// The command line: command words in any case, usage errors, the usage text.
#include "drvsetup/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "drvsetup/exit_codes.h"
#include "platform/fakes/fake_device_set.h"

namespace ostrel::drvsetup {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

class CommandLineTest : public ::testing::Test {
 protected:
  int Run(std::vector<const char*> args) {
    args.insert(args.begin(), "drvsetup");
    out_.str("");
    err_.str("");
    return RunDrvsetup(static_cast<int>(args.size()), args.data(), setup_, console_);
  }

  FakeDeviceSetup setup_;
  std::ostringstream out_;
  std::ostringstream err_;
  Console console_{out_, err_};
};

TEST_F(CommandLineTest, CommandWordInAnyCase) {
  for (const char* word : {"REMOVE", "remove", "Remove", "rEmOvE"}) {
    setup_.sets_opened.clear();
    EXPECT_EQ(Run({word}), kExitOk) << word;
    EXPECT_EQ(setup_.sets_opened.size(), 6u) << word;
  }
  for (const char* word : {"INSTALL", "install", "Install"}) {
    EXPECT_EQ(Run({word, "/nonexistent/cam.inf"}), kExitBadInf) << word;
    EXPECT_THAT(err_.str(), HasSubstr("Can't find inf file")) << word;
  }
}

TEST_F(CommandLineTest, WrongWordsAndCountsAreUsageErrors) {
  const std::vector<std::vector<const char*>> wrong = {
      {"frobnicate"}, {"INSTALL"}, {"REMOVE", "extra"}, {"INSTALL", "a.inf", "b.inf"},
      {"remove-all"}, {""},        {"REMOVE", ""},      {"UNINSTALL", "a.inf"},
  };
  for (const auto& args : wrong) {
    EXPECT_EQ(Run(args), kExitUsage) << args[0];
    EXPECT_EQ(err_.str(), kUsageLine) << args[0];
    EXPECT_EQ(out_.str(), "");
  }
  EXPECT_THAT(setup_.sets_opened, IsEmpty());
  EXPECT_THAT(setup_.updates, IsEmpty());
}

TEST_F(CommandLineTest, NoArgumentsPrintsTheUsageWithEveryExitCode) {
  EXPECT_EQ(Run({}), kExitUsage);
  EXPECT_EQ(out_.str(), "");
  for (const char* line : {"drvsetup INSTALL <inf file>", "drvsetup REMOVE", "  0  ", "  1  ",
                           "  2  ", "  3  ", "  4  ", "  5  ", "must run as root"}) {
    EXPECT_THAT(err_.str(), HasSubstr(line));
  }
  EXPECT_EQ(Run({"--help"}), kExitOk);
  EXPECT_EQ(out_.str(), kUsageText);
}

}  // namespace
}  // namespace ostrel::drvsetup
