// Installation over a fake device set: the search lines, which ID is updated, the messages and exit
// codes.
#include "drvsetup/install.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>

#include "drvsetup/exit_codes.h"
#include "platform/fakes/fake_device_set.h"
#include "tests/unit/drvsetup/sysfs_tree.h"

namespace ostrel::drvsetup {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Scope = DeviceSetup::Scope;

class InstallTest : public ::testing::Test {
 protected:
  std::string WriteInf(const std::string& text) {
    std::string path = (dir_.path() / "cam.inf").string();
    drvsetup_test::SysfsTree::Write(path, text);
    return path;
  }
  int Install(const std::string& path) { return InstallDriver(setup_, path, console_); }
  static std::string SearchLine(const std::string& id) {
    return "FindExistingDevice()\tSearch for Device ID: [" + id + "]\n";
  }

  drvsetup_test::SysfsTree dir_;  // only for its temporary folder
  FakeDeviceSetup setup_;
  std::ostringstream out_;
  std::ostringstream err_;
  Console console_{out_, err_};
};

TEST_F(InstallTest, LowerCaseInfIdFindsADeviceThroughItsRevisionIdAndUpdatesInterfaceZero) {
  setup_.Add({"USB\\VID_0F1A&PID_3301&REV_0100", "USB\\VID_0F1A&PID_3301"});
  std::string inf = WriteInf("[M]\n%cam%=inst, usb\\vid_0f1a&pid_3301&mi_00\n");
  EXPECT_EQ(Install(inf), kExitOk);
  EXPECT_EQ(out_.str(), SearchLine("USB\\Vid_0F1A&Pid_3301"));
  EXPECT_EQ(err_.str(), "");
  EXPECT_THAT(setup_.updates, ElementsAre(std::make_pair("USB\\VID_0F1A&PID_3301&MI_00", inf)));
  EXPECT_THAT(setup_.sets_opened, ElementsAre(Scope::kPresent));
  EXPECT_EQ(setup_.sets_open, 0);
}

TEST_F(InstallTest, OnlyTheFirstFoundEntryInInfOrderIsUpdated) {
  setup_.Add({"USB\\VID_0F1A&PID_3301"});
  setup_.Add({"USB\\VID_1D3C&PID_0200"});
  std::string inf = WriteInf(
      "USB\\VID_9999&PID_0001\nUSB\\VID_1D3C&PID_0200&MI_00\nUSB\\VID_0F1A&PID_3301&MI_00\n");
  EXPECT_EQ(Install(inf), kExitOk);
  EXPECT_EQ(out_.str(),
            SearchLine("USB\\Vid_9999&Pid_0001") + SearchLine("USB\\Vid_1D3C&Pid_0200"));
  EXPECT_THAT(setup_.updates, ElementsAre(std::make_pair("USB\\VID_1D3C&PID_0200&MI_00", inf)));
}

TEST_F(InstallTest, AbsentDevicesAndDevicesWithoutIdsAreNotFound) {
  setup_.Add({"USB\\VID_0F1A&PID_3301"}, /*present=*/false);
  std::size_t bare = setup_.Add({"USB\\VID_0F1A&PID_3301"});
  setup_.records[bare].has_hardware_ids = false;
  EXPECT_EQ(Install(WriteInf("USB\\VID_0F1A&PID_3301")), kExitNoDevice);
  EXPECT_EQ(out_.str(), SearchLine("USB\\Vid_0F1A&Pid_3301"));
  EXPECT_THAT(err_.str(), HasSubstr("no present device carries a hardware ID of the inf file"));
  EXPECT_THAT(setup_.updates, IsEmpty());
}

TEST_F(InstallTest, MissingInfShowsBothMessagesAndTouchesNoDevice) {
  EXPECT_EQ(Install((dir_.path() / "gone.inf").string()), kExitBadInf);
  EXPECT_EQ(err_.str(),
            "drvsetup: Can't find inf file\ndrvsetup: inf file unfound or get nothing\n");
  EXPECT_EQ(out_.str(), "");
  EXPECT_THAT(setup_.sets_opened, IsEmpty());
}

TEST_F(InstallTest, InfWithoutIdsOrUnreadableInstallsNothing) {
  setup_.Add({"USB\\VID_0F1A&PID_3301"});
  std::string utf16;
  for (char c : std::string("usb\\vid_0f1a&pid_3301")) utf16 += std::string{c, '\0'};
  EXPECT_EQ(Install(WriteInf(utf16)), kExitBadInf);
  EXPECT_EQ(err_.str(), "drvsetup: inf file unfound or get nothing\n");

  err_.str("");
  EXPECT_EQ(Install(dir_.root()), kExitBadInf);
  EXPECT_THAT(err_.str(), HasSubstr("cannot read inf file " + dir_.root() + ": "));
  EXPECT_THAT(err_.str(), HasSubstr("inf file unfound or get nothing"));
  EXPECT_THAT(setup_.updates, IsEmpty());
  EXPECT_THAT(setup_.sets_opened, IsEmpty());
}

TEST_F(InstallTest, RefusedUpdateSaysToRunAsRoot) {
  setup_.Add({"USB\\VID_0F1A&PID_3301"});
  setup_.update_result = DeviceStatus::Failed(EACCES, "cannot write \"0f1a 3301\" to new_id");
  EXPECT_EQ(Install(WriteInf("USB\\VID_0F1A&PID_3301")), kExitWriteFailed);
  EXPECT_THAT(err_.str(), HasSubstr("drvsetup must run as root"));

  err_.str("");
  setup_.update_result = DeviceStatus::Failed(EIO, "cannot write bind");
  EXPECT_EQ(Install(WriteInf("USB\\VID_0F1A&PID_3301")), kExitWriteFailed);
  EXPECT_EQ(err_.str(), "drvsetup: cannot write bind\n");
}

TEST_F(InstallTest, UpdateThatFindsNoInterfaceIsNoDevice) {
  setup_.Add({"USB\\VID_0F1A&PID_3301"});
  setup_.update_result = DeviceStatus::NoDevice("");
  EXPECT_EQ(Install(WriteInf("USB\\VID_0F1A&PID_3301")), kExitNoDevice);
  EXPECT_THAT(err_.str(), HasSubstr("USB\\VID_0F1A&PID_3301&MI_00"));
}

TEST_F(InstallTest, UnreadableDeviceListEndsTheInstallation) {
  setup_.fail_get_class_devs = true;
  EXPECT_EQ(Install(WriteInf("USB\\VID_0F1A&PID_3301 USB\\VID_1D3C&PID_0200")), kExitInitFailed);
  EXPECT_EQ(out_.str(), "");
  EXPECT_THAT(err_.str(), HasSubstr("cannot list the devices"));

  setup_.fail_get_class_devs = false;
  setup_.Add({"USB\\VID_0F1A&PID_3301"});
  setup_.records[0].read_fails = true;
  EXPECT_EQ(Install(WriteInf("USB\\VID_0F1A&PID_3301")), kExitInitFailed);
  EXPECT_EQ(setup_.sets_open, 0);
  EXPECT_THAT(setup_.updates, IsEmpty());
}

TEST_F(InstallTest, SearchUpperCasesTheIdItIsGiven) {
  setup_.Add({"usb\\vid_0f1a&pid_3301&rev_0001"});
  std::string id = "USB\\Vid_0F1A&Pid_3301";
  EXPECT_EQ(FindExistingDevice(setup_, id, console_), SearchResult::kFound);
  EXPECT_EQ(id, "USB\\VID_0F1A&PID_3301");
  EXPECT_EQ(out_.str(), SearchLine("USB\\Vid_0F1A&Pid_3301"));
}

TEST_F(InstallTest, MalformedMultiStringIsReadSafely) {
  std::size_t index = setup_.Add({});
  setup_.records[index].raw_multi_string = "USB\\VID_0F1A&PID_3301";  // no terminators
  std::string id = "USB\\VID_0F1A&PID_3301";
  EXPECT_EQ(FindExistingDevice(setup_, id, console_), SearchResult::kFound);
}

}  // namespace
}  // namespace ostrel::drvsetup
