// The matching rules and the reading of hardware-ID multi-strings.
#include "drvsetup/hardware_ids.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fakes/fake_device_set.h"

namespace ostrel::drvsetup {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(HardwareIdMatching, SearchFindsTheIdInsideALongerIdInAnyCase) {
  EXPECT_TRUE(HardwareIdContains("USB\\VID_0F1A&PID_3301&REV_0100", "USB\\Vid_0F1A&Pid_3301"));
  EXPECT_TRUE(HardwareIdContains("usb\\vid_0f1a&pid_3301&mi_00", "USB\\VID_0F1A&PID_3301"));
  // A cut-short INF entry is still a substring of the device's ID.
  EXPECT_TRUE(HardwareIdContains("USB\\VID_0F1A&PID_3301", "USB\\Vid_0F"));
  EXPECT_FALSE(HardwareIdContains("USB\\VID_0F1A&PID_3302", "USB\\VID_0F1A&PID_3301"));
  EXPECT_FALSE(HardwareIdContains("USB\\VID_0F1A", "USB\\VID_0F1A&PID_3301"));
}

TEST(HardwareIdMatching, RemovalNeedsTheWholeIdInAnyCase) {
  EXPECT_TRUE(HardwareIdEquals("usb\\vid_1d3c&pid_0200&mi_01", "USB\\Vid_1D3C&Pid_0200&Mi_01"));
  EXPECT_FALSE(HardwareIdEquals("USB\\VID_1D3C&PID_0200&REV_0100", "USB\\Vid_1D3C&Pid_0200"));
  EXPECT_FALSE(HardwareIdEquals("USB\\VID_1D3C&PID_020", "USB\\Vid_1D3C&Pid_0200"));
}

TEST(MultiString, StopsAtTheEmptyStringOrTheEndOfTheBuffer) {
  auto buffer = [](const std::string& bytes) {
    return std::vector<char>(bytes.begin(), bytes.end());
  };
  EXPECT_THAT(SplitMultiString(buffer(std::string("A\0BC\0\0D\0\0", 9))), ElementsAre("A", "BC"));
  // Without its terminators the last string ends with the buffer.
  EXPECT_THAT(SplitMultiString(buffer("AB")), ElementsAre("AB"));
  EXPECT_THAT(SplitMultiString(buffer(std::string("A\0B", 3))), ElementsAre("A", "B"));
  EXPECT_THAT(SplitMultiString(buffer(std::string("\0A\0", 3))), IsEmpty());
  EXPECT_THAT(SplitMultiString({}), IsEmpty());
}

TEST(MultiString, PropertyIsReadIntoABufferOfTheReportedSize) {
  FakeDeviceSetup setup;
  setup.Add({"USB\\VID_0F1A&PID_3301&REV_0100", "USB\\VID_0F1A&PID_3301"});
  setup.Add({});
  setup.records[1].has_hardware_ids = false;
  setup.Add({"X"});
  setup.records[2].read_fails = true;
  std::string error;
  auto set = setup.GetClassDevs(DeviceSetup::Scope::kAll, &error);
  ASSERT_TRUE(set);

  std::vector<char> buffer(3, 'x');
  ASSERT_EQ(ReadHardwareIdProperty(*set, 0, &buffer), PropertyResult::kOk);
  EXPECT_EQ(buffer.size(), 31u + 22u + 1u);
  EXPECT_THAT(SplitMultiString(buffer),
              ElementsAre("USB\\VID_0F1A&PID_3301&REV_0100", "USB\\VID_0F1A&PID_3301"));
  EXPECT_EQ(ReadHardwareIdProperty(*set, 1, &buffer), PropertyResult::kNoSuchProperty);
  EXPECT_EQ(ReadHardwareIdProperty(*set, 2, &buffer), PropertyResult::kFailed);
}

}  // namespace
}  // namespace ostrel::drvsetup
