// Devices kept by identity while the fake layer's lists change under a running frame:
// two cameras of one model share a name and are still told apart.
#include <gtest/gtest.h>

#include <memory>

#include "frame_fixture.h"
#include "res/menu_ids.h"

namespace {

media::fake::CameraSpec Twin(const char* identity) {
  media::fake::CameraSpec camera;
  camera.name = "USB Camera";
  camera.identity = identity;
  camera.formats = {media::fake::VideoType(media::Subtype::YUY2, 640, 480, 30),
                    media::fake::VideoType(media::Subtype::YUY2, 1280, 720, 10)};
  return camera;
}

class DeviceIdentityTest : public FakeLayerFrameTest {
 protected:
  void Start() {
    factory.watchable = true;
    StartOnFakeLayer();
  }
  void Replug(std::vector<media::fake::CameraSpec> cameras) {
    factory.cameras = std::move(cameras);
    factory.devicesChanged = true;
    frame->OnTimer(1);  // the tick that follows the change
    ASSERT_FALSE(factory.devicesChanged);
  }
  std::string SelectedId() const { return frame->m_videoDeviceIds[frame->m_selectedVideoDevice]; }
};

TEST_F(DeviceIdentityTest, TwinCamerasAreToldApartAcrossRebuilds) {
  factory.cameras = {Twin("usb:046d:0825:AAAA/1.0"), Twin("usb:046d:0825:BBBB/1.0")};
  Start();
  frame->OnCommand(17);  // the second camera
  ASSERT_EQ(SelectedId(), "usb:046d:0825:BBBB/1.0");
  const auto inUse = frame->m_videoDevices[1];

  // The first twin goes: the second is kept, the same filter, now at position 0.
  Replug({Twin("usb:046d:0825:BBBB/1.0")});
  EXPECT_EQ(frame->m_selectedVideoDevice, 0);
  EXPECT_EQ(frame->m_videoDevices[0], inUse);
  EXPECT_TRUE(window.messages.empty());

  // The one in use goes and the other twin comes: its name is the same, yet it is not
  // the camera that went away, so it is not taken for it.
  Replug({Twin("usb:046d:0825:AAAA/1.0")});
  EXPECT_EQ(frame->m_selectedVideoDevice, -1);
  EXPECT_EQ(frame->m_videoDeviceNames[0], "USB Camera");

  // The lost one comes back behind it: chosen again by its identity.
  Replug({Twin("usb:046d:0825:AAAA/1.0"), Twin("usb:046d:0825:BBBB/1.0")});
  EXPECT_EQ(frame->m_selectedVideoDevice, 1);
  EXPECT_EQ(SelectedId(), "usb:046d:0825:BBBB/1.0");
}

TEST_F(DeviceIdentityTest, ACameraPluggedBackInGetsItsOwnFormatBackItsTwinDoesNot) {
  factory.cameras = {Twin("usb:046d:0825:AAAA/1.0"), Twin("usb:046d:0825:BBBB/1.0")};
  Start();
  frame->OnCommand(17);
  window.sheetScripts.push_back([](media::PropertyPages& pages) { pages.Apply(0, 0, 1); });
  frame->OnCommand(menu_id::kVideoPinProperties);
  ASSERT_EQ(frame->m_videoWidth, 1280);
  Replug({Twin("usb:046d:0825:AAAA/1.0")});
  Replug({Twin("usb:046d:0825:AAAA/1.0"), Twin("usb:046d:0825:BBBB/1.0")});
  EXPECT_EQ(frame->m_selectedVideoDevice, 1);
  EXPECT_EQ(frame->m_videoWidth, 1280);
  frame->OnCommand(16);
  EXPECT_EQ(frame->m_videoWidth, 640);

  // At the next start, where it is the only camera, it is chosen with its kept format.
  factory.cameras = {Twin("usb:046d:0825:BBBB/1.0")};
  frame.reset();
  Start();
  EXPECT_EQ(frame->m_videoWidth, 1280);
}

TEST_F(DeviceIdentityTest, AProviderWithoutIdentitiesKeepsDevicesByName) {
  factory.cameras = {Twin(""), Twin("")};
  factory.cameras[1].name = "Other Camera";
  Start();
  frame->OnCommand(17);
  Replug({factory.cameras[1]});
  EXPECT_EQ(frame->m_selectedVideoDevice, 0);
  EXPECT_EQ(SelectedId(), "Other Camera");
}

}  // namespace
