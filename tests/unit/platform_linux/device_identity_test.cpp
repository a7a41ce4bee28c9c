// Cameras' and sound cards' identities read from fake sysfs trees.
#include "platform/linux/device_identity.h"

#include <gtest/gtest.h>

#include "camera_tree.h"

namespace {

using ostrel::button_test::CameraTree;
namespace fs = std::filesystem;

TEST(DeviceIdentity, CamerasByTheirUsbSerialTheirByIdLinkOrTheirPort) {
  CameraTree tree;
  const auto identity = [&](const std::string& video) {
    return platform::CameraIdentity((tree.dev() / video).string(), tree.sysfs().string(),
                                    tree.dev().string());
  };
  // Two of one model: the serial tells them apart, whatever node each got.
  CameraTree::SetUsbIds(tree.AddCamera("1-1", "video0"), "046d", "0825", "AAAA");
  CameraTree::SetUsbIds(tree.AddCamera("1-2", "video2"), "046d", "0825", "BBBB");
  EXPECT_EQ(identity("video0"), "usb:046d:0825:AAAA/1.0");
  EXPECT_EQ(identity("video2"), "usb:046d:0825:BBBB/1.0");

  // No serial: udev's by-id name, else the port the camera is plugged into.
  CameraTree::SetUsbIds(tree.AddCamera("1-3", "video4"), "0c45", "6366", "");
  CameraTree::SetUsbIds(tree.AddCamera("1-4", "video6"), "0c45", "6366", "");
  fs::create_directories(tree.dev() / "v4l/by-id");
  fs::create_symlink(tree.dev() / "video4", tree.dev() / "v4l/by-id/usb-Cam-video-index0");
  EXPECT_EQ(identity("video4"), "v4l-by-id:usb-Cam-video-index0");
  EXPECT_EQ(identity("video6"), "usb:0c45:6366@1-4/1.0");

  // No USB device behind the node: the node itself.
  tree.AddVirtualNode("video9");
  EXPECT_EQ(identity("video9"), "v4l2:" + (tree.dev() / "video9").string());
  EXPECT_EQ(platform::CameraIdentity(""), "");
}

TEST(DeviceIdentity, SoundCardsByTheirId) {
  CameraTree tree;
  fs::create_directories(tree.sysfs() / "class/sound/card1");
  std::ofstream(tree.sysfs() / "class/sound/card1/id") << "Webcam\n";
  EXPECT_EQ(platform::SoundCardIdentity("1", tree.sysfs().string()), "alsa:Webcam");
  EXPECT_EQ(platform::SoundCardIdentity("3", tree.sysfs().string()), "alsa:3");
  EXPECT_EQ(platform::SoundCardIdentity("", tree.sysfs().string()), "");
}

}  // namespace
