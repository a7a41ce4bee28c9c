// Removal over a fake device set: the six scans, the whole-ID match, refused removals.
#include "drvsetup/remove.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>

#include "drvsetup/exit_codes.h"
#include "platform/fakes/fake_device_set.h"

namespace ostrel::drvsetup {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Scope = DeviceSetup::Scope;

class RemoveTest : public ::testing::Test {
 protected:
  FakeDeviceSetup setup_;
  std::ostringstream out_;
  std::ostringstream err_;
  Console console_{out_, err_};
};

TEST_F(RemoveTest, SixScansInTheirOrderOverPresentAndAbsentDevices) {
  // Listed in reverse, so the order of removal shows the order of the scans.
  std::size_t second_alone =
      setup_.Add({"USB\\VID_0F1A&PID_3301&REV_0001", "usb\\vid_0f1a&pid_3301"});
  std::size_t second_mi1 = setup_.Add({"USB\\VID_0F1A&PID_3301&MI_01"}, /*present=*/false);
  std::size_t second_mi0 = setup_.Add({"USB\\VID_0F1A&PID_3301&MI_00"});
  std::size_t first_alone = setup_.Add({"USB\\VID_1D3C&PID_0200"}, /*present=*/false);
  std::size_t first_mi1 = setup_.Add({"usb\\vid_1d3c&pid_0200&mi_01"}, /*present=*/false);
  std::size_t first_mi0 = setup_.Add({"USB\\VID_1D3C&PID_0200&MI_00"});

  EXPECT_EQ(RemoveDevices(setup_, console_), kExitOk);
  EXPECT_THAT(setup_.removed,
              ElementsAre(first_mi0, first_mi1, first_alone, second_mi0, second_mi1, second_alone));
  EXPECT_THAT(setup_.sets_opened, ElementsAre(Scope::kAll, Scope::kAll, Scope::kAll, Scope::kAll,
                                              Scope::kAll, Scope::kAll));
  EXPECT_EQ(setup_.sets_open, 0);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(RemoveTest, OnlyWholeIdsAreRemoved) {
  setup_.Add({"USB\\VID_1D3C&PID_0200&REV_0100"});
  setup_.Add({"USB\\VID_1D3C&PID_0200&MI_02"});
  setup_.Add({"USB\\VID_0F1A&PID_3301&MI_00&REV_0001"});
  setup_.Add({"XUSB\\VID_1D3C&PID_0200"});
  EXPECT_EQ(RemoveDevices(setup_, console_), kExitOk);
  EXPECT_THAT(setup_.removed, IsEmpty());
}

TEST_F(RemoveTest, SystemWithoutTheCameraScansSixTimesAndRemovesNothing) {
  setup_.Add({"USB\\VID_046D&PID_0825&REV_0010", "USB\\VID_046D&PID_0825"});
  std::size_t bare = setup_.Add({});
  setup_.records[bare].has_hardware_ids = false;
  EXPECT_EQ(RemoveDevices(setup_, console_), kExitOk);
  EXPECT_EQ(setup_.sets_opened.size(), 6u);
  EXPECT_THAT(setup_.removed, IsEmpty());
}

TEST_F(RemoveTest, RefusedRemovalIsReportedAndTheScansGoOn) {
  std::size_t refused = setup_.Add({"USB\\VID_1D3C&PID_0200&MI_00"});
  setup_.records[refused].remove_error = EACCES;
  std::size_t other = setup_.Add({"USB\\VID_1D3C&PID_0200&MI_00"});
  std::size_t later = setup_.Add({"USB\\VID_0F1A&PID_3301"});
  EXPECT_EQ(RemoveDevices(setup_, console_), kExitWriteFailed);
  EXPECT_THAT(setup_.removed, ElementsAre(other, later));
  EXPECT_THAT(err_.str(), HasSubstr("drvsetup must run as root"));
}

TEST_F(RemoveTest, UnreadableDeviceListIsAnInitialisationFailure) {
  setup_.fail_get_class_devs = true;
  EXPECT_EQ(RemoveDevices(setup_, console_), kExitInitFailed);
  EXPECT_EQ(setup_.sets_opened.size(), 1u);
  EXPECT_THAT(err_.str(), HasSubstr("cannot list the devices"));
}

TEST_F(RemoveTest, IndexBeyondTheBuiltInIdsDoesNothing) {
  setup_.Add({"USB\\VID_1D3C&PID_0200"});
  EXPECT_EQ(RemoveDevicesForId(setup_, 2, console_), kExitOk);
  EXPECT_THAT(setup_.sets_opened, IsEmpty());
  EXPECT_EQ(RemoveDevicesForId(setup_, 0, console_), kExitOk);
  EXPECT_EQ(setup_.removed.size(), 1u);
}

}  // namespace
}  // namespace ostrel::drvsetup
