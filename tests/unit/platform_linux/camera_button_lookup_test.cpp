// The snapshot button's event device found through fake sysfs trees.
#include "platform/linux/camera_button_lookup.h"

#include <gtest/gtest.h>

#include "camera_tree.h"

namespace {

using ostrel::button_test::CameraTree;
using platform::CameraButtonEventDevices;
using Paths = std::vector<std::string>;

class CameraButtonLookupTest : public ::testing::Test {
 protected:
  Paths Lookup(const std::string& node) {
    return CameraButtonEventDevices(node, tree.sysfs().string(), tree.dev().string());
  }
  std::string Dev(const std::string& name) { return (tree.dev() / name).string(); }
  CameraTree tree;
};

TEST_F(CameraButtonLookupTest, FindsTheEventNodeUnderTheCamerasInterface) {
  const auto interface = tree.AddCamera("1-1", "video0");
  CameraTree::AddInput(interface, "input7", "event5");
  tree.AddCamera("1-2", "video2");  // another camera, no button
  EXPECT_EQ(Lookup(Dev("video0")), Paths{Dev("input/event5")});
  // Only the node's name counts, wherever the node is.
  EXPECT_EQ(Lookup("/dev/video0"), Paths{Dev("input/event5")});
  EXPECT_EQ(Lookup(Dev("video2")), Paths{});
}

TEST_F(CameraButtonLookupTest, FollowsALinkToTheVideoNode) {
  const auto interface = tree.AddCamera("1-1", "video4");
  CameraTree::AddInput(interface, "input3", "event9");
  std::filesystem::create_directories(tree.dev() / "v4l/by-id");
  std::filesystem::create_symlink(tree.dev() / "video4",
                                  tree.dev() / "v4l/by-id/usb-Cam-video-index0");
  EXPECT_EQ(Lookup(Dev("v4l/by-id/usb-Cam-video-index0")), Paths{Dev("input/event9")});
}

TEST_F(CameraButtonLookupTest, SeveralInputsGiveEveryEventNodeSorted) {
  const auto interface = tree.AddCamera("1-1", "video0");
  CameraTree::AddInput(interface, "input8", "event6");
  CameraTree::AddInput(interface, "input7", "event5");
  // An input handler other than evdev is no event node.
  std::filesystem::create_directories(interface / "input/input9/mouse2");
  EXPECT_EQ(Lookup(Dev("video0")), (Paths{Dev("input/event5"), Dev("input/event6")}));
}

TEST_F(CameraButtonLookupTest, NoButtonOrNoUvcCameraGivesNothing) {
  tree.AddCamera("1-1", "video0");  // uvcvideo, no input folder
  const auto other = tree.AddCamera("1-2", "video2", "gspca_main");
  CameraTree::AddInput(other, "input4", "event4");
  const auto unbound = tree.AddCamera("1-3", "video4", "");
  CameraTree::AddInput(unbound, "input5", "event5");
  tree.AddVirtualNode("video9");
  EXPECT_EQ(Lookup(Dev("video0")), Paths{});
  EXPECT_EQ(Lookup(Dev("video2")), Paths{}) << "another driver's input device";
  EXPECT_EQ(Lookup(Dev("video4")), Paths{}) << "no driver";
  EXPECT_EQ(Lookup(Dev("video9")), Paths{}) << "loopback camera";
  EXPECT_EQ(Lookup(Dev("video11")), Paths{}) << "unknown node";
  EXPECT_EQ(Lookup(Dev("input/event4")), Paths{}) << "not a video node";
  EXPECT_EQ(Lookup(""), Paths{});
}

}  // namespace
