// The sysfs device set over fake trees: records and their IDs, removal, driver binding.
#include "platform/linux/sysfs_device_set.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "drvsetup/hardware_ids.h"
#include "tests/unit/drvsetup/sysfs_tree.h"

namespace ostrel {
namespace {

using drvsetup_test::SysfsTree;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Scope = DeviceSetup::Scope;

class SysfsDeviceSetTest : public ::testing::Test {
 protected:
  // Every record of a fresh set, by name order, with its hardware IDs.
  std::vector<std::vector<std::string>> AllIds() {
    std::string error;
    auto set = setup_.GetClassDevs(Scope::kAll, &error);
    EXPECT_TRUE(set) << error;
    std::vector<std::vector<std::string>> all;
    std::vector<char> buffer;
    for (std::size_t i = 0; set && set->EnumDeviceInfo(i); ++i) {
      std::vector<std::string> ids;
      if (drvsetup::ReadHardwareIdProperty(*set, i, &buffer) == PropertyResult::kOk) {
        for (std::string_view id : drvsetup::SplitMultiString(buffer)) ids.emplace_back(id);
      }
      all.push_back(ids);
    }
    return all;
  }
  std::string Read(const std::string& relative) { return SysfsTree::Read(tree_.path() / relative); }

  SysfsTree tree_;
  SysfsDeviceSetup setup_{tree_.root()};
};

TEST_F(SysfsDeviceSetTest, DevicesAndInterfacesCarryWindowsStyleIds) {
  tree_.AddDevice("1-1", "0f1a", "3301", "0100");
  tree_.AddInterface("1-1", 0);
  tree_.AddInterface("1-1", 1);
  tree_.AddDevice("usb1", "1d6b", "0002", "0601");
  EXPECT_THAT(
      AllIds(),
      ElementsAre(
          ElementsAre("USB\\VID_0F1A&PID_3301&REV_0100", "USB\\VID_0F1A&PID_3301"),
          ElementsAre("USB\\VID_0F1A&PID_3301&REV_0100&MI_00", "USB\\VID_0F1A&PID_3301&MI_00"),
          ElementsAre("USB\\VID_0F1A&PID_3301&REV_0100&MI_01", "USB\\VID_0F1A&PID_3301&MI_01"),
          ElementsAre("USB\\VID_1D6B&PID_0002&REV_0601", "USB\\VID_1D6B&PID_0002")));
  // Linux remembers no absent devices: both scopes list the same records.
  std::string error;
  auto present = setup_.GetClassDevs(Scope::kPresent, &error);
  ASSERT_TRUE(present);
  EXPECT_TRUE(present->EnumDeviceInfo(3));
  EXPECT_FALSE(present->EnumDeviceInfo(4));
}

TEST_F(SysfsDeviceSetTest, MissingEmptyOrGarbageAttributesMeanNoIds) {
  const std::vector<std::pair<std::string, std::string>> broken = {
      {"idVendor", ""},          {"idProduct", "zzzz\n"}, {"bcdDevice", "01000\n"},
      {"idVendor", "0f1a 3301"}, {"idProduct", "-001\n"}, {"bcdDevice", std::string(5000, '1')},
  };
  for (std::size_t i = 0; i < broken.size(); ++i) {
    std::string name = "2-" + std::to_string(i + 1);
    tree_.AddDevice(name, "0f1a", "3301");
    SysfsTree::Write(tree_.devices_dir() / name / broken[i].first, broken[i].second);
  }
  tree_.AddDevice("3-1", "0f1a", "3301");
  std::filesystem::remove(tree_.devices_dir() / "3-1/bcdDevice");
  tree_.AddInterface("3-1", 0);  // its device has no IDs, so neither has it
  tree_.AddDevice("4-1", "0f1a", "3301");
  tree_.AddInterface("4-1", 0);
  SysfsTree::Write(tree_.devices_dir() / "4-1:1.0/bInterfaceNumber", "xx\n");
  std::filesystem::create_directory(tree_.devices_dir() / "not-a-device");

  std::vector<std::vector<std::string>> all = AllIds();
  ASSERT_EQ(all.size(), broken.size() + 5);
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i == broken.size() + 2) {
      EXPECT_EQ(all[i].size(), 2u) << "4-1 itself is sound";
    } else {
      EXPECT_THAT(all[i], IsEmpty()) << "record " << i;
    }
  }
}

TEST_F(SysfsDeviceSetTest, PropertyAsksForABufferOfItsSize) {
  tree_.AddDevice("1-1", "0f1a", "3301");
  std::string error;
  auto set = setup_.GetClassDevs(Scope::kAll, &error);
  ASSERT_TRUE(set);
  std::size_t required = 0;
  EXPECT_EQ(set->GetHardwareIds(0, nullptr, 0, &required), PropertyResult::kBufferTooSmall);
  EXPECT_EQ(required, 31u + 22u + 1u);
  std::vector<char> buffer(required - 1);
  EXPECT_EQ(set->GetHardwareIds(0, buffer.data(), buffer.size(), &required),
            PropertyResult::kBufferTooSmall);
  EXPECT_FALSE(set->EnumDeviceInfo(1));
  EXPECT_EQ(set->GetHardwareIds(1, nullptr, 0, &required), PropertyResult::kFailed);
}

TEST_F(SysfsDeviceSetTest, MissingUsbFolderIsNoSet) {
  std::filesystem::remove_all(tree_.path() / "bus");
  std::string error;
  EXPECT_FALSE(setup_.GetClassDevs(Scope::kAll, &error));
  EXPECT_THAT(error, HasSubstr("bus/usb/devices: No such file or directory"));
}

TEST_F(SysfsDeviceSetTest, RemovingWritesRemoveForADeviceAndUnbindForAnInterface) {
  tree_.AddDevice("1-1", "0f1a", "3301");
  tree_.AddInterface("1-1", 0, "usbfs");
  tree_.AddInterface("1-1", 1);  // bound to nothing
  std::string error;
  auto set = setup_.GetClassDevs(Scope::kAll, &error);
  ASSERT_TRUE(set);
  EXPECT_TRUE(set->RemoveDevice(0).ok());
  EXPECT_TRUE(set->RemoveDevice(1).ok());
  EXPECT_TRUE(set->RemoveDevice(2).ok());
  EXPECT_EQ(Read("bus/usb/devices/1-1/remove"), "1");
  EXPECT_EQ(Read("bus/usb/drivers/usbfs/unbind"), "1-1:1.0");
}

TEST_F(SysfsDeviceSetTest, RefusedWriteIsReportedWithItsReason) {
  tree_.AddDevice("1-1", "0f1a", "3301");
  std::filesystem::remove(tree_.devices_dir() / "1-1/remove");
  std::filesystem::create_directory(tree_.devices_dir() / "1-1/remove");
  std::string error;
  auto set = setup_.GetClassDevs(Scope::kAll, &error);
  ASSERT_TRUE(set);
  DeviceStatus status = set->RemoveDevice(0);
  EXPECT_EQ(status.code, DeviceStatus::kFailed);
  EXPECT_EQ(status.error, EISDIR);
  EXPECT_THAT(status.detail, HasSubstr("cannot write \"1\" to " + tree_.root() +
                                       "/bus/usb/devices/1-1/remove: Is a directory"));
}

TEST_F(SysfsDeviceSetTest, UpdateBindsInterfaceZeroOfEveryMatchingDeviceToTheCameraDriver) {
  tree_.AddDriver("uvcvideo");
  tree_.AddDevice("1-1", "0f1a", "3301");
  tree_.AddInterface("1-1", 0, "usbfs");
  tree_.AddInterface("1-1", 1, "snd-usb-audio");
  tree_.AddDevice("1-2", "0f1a", "3301", "0200");
  tree_.AddInterface("1-2", 0, "usbfs");
  tree_.AddDevice("1-3", "0f1a", "3302");
  tree_.AddInterface("1-3", 0, "usbfs");

  DeviceStatus status =
      setup_.UpdateDriverForPlugAndPlayDevices("USB\\VID_0F1A&PID_3301&MI_00", "/media/cam.inf");
  EXPECT_TRUE(status.ok()) << status.detail;
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/new_id"), "0f1a 3301");
  EXPECT_EQ(Read("bus/usb/drivers/usbfs/unbind"), "1-1:1.01-2:1.0");
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/bind"), "1-1:1.01-2:1.0");
  EXPECT_EQ(Read("bus/usb/drivers/snd-usb-audio/unbind"), "");
}

// An interface with no driver is bound too: after a first run whose bind failed, a second
// run must not report success with nothing bound.
TEST_F(SysfsDeviceSetTest, UpdateLeavesTheCameraDriverAndBindsAnInterfaceWithoutADriver) {
  tree_.AddDevice("1-1", "1d3c", "0200");
  tree_.AddInterface("1-1", 0, "uvcvideo");
  tree_.AddDevice("1-2", "1d3c", "0200");
  tree_.AddInterface("1-2", 0);
  EXPECT_TRUE(setup_.UpdateDriverForPlugAndPlayDevices("usb\\vid_1d3c&pid_0200&mi_00", "").ok());
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/new_id"), "1d3c 0200");
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/bind"), "1-2:1.0");
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/unbind"), "");
}

TEST_F(SysfsDeviceSetTest, UpdateWithoutAMatchingInterfaceChangesNothing) {
  tree_.AddDriver("uvcvideo");
  tree_.AddDevice("1-1", "0f1a", "3301");
  tree_.AddInterface("1-1", 1, "usbfs");
  for (const char* id :
       {"USB\\VID_0F1A&PID_3301&MI_00", "USB\\VID_0F1A&PID_3301", "USB\\VID_0F&MI_00", "garbage"}) {
    EXPECT_EQ(setup_.UpdateDriverForPlugAndPlayDevices(id, "").code, DeviceStatus::kNoDevice) << id;
  }
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/new_id"), "");
  EXPECT_EQ(Read("bus/usb/drivers/usbfs/unbind"), "");
}

TEST_F(SysfsDeviceSetTest, UpdateWithoutTheCameraDriverSaysSo) {
  tree_.AddDevice("1-1", "0f1a", "3301");
  tree_.AddInterface("1-1", 0, "usbfs");
  DeviceStatus status =
      setup_.UpdateDriverForPlugAndPlayDevices("USB\\VID_0F1A&PID_3301&MI_00", "");
  EXPECT_EQ(status.code, DeviceStatus::kFailed);
  EXPECT_EQ(status.error, ENOENT);
  EXPECT_THAT(status.detail, HasSubstr("uvcvideo driver loaded?"));
  EXPECT_EQ(Read("bus/usb/drivers/usbfs/unbind"), "");
}

}  // namespace
}  // namespace ostrel
