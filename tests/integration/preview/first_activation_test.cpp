// The first activation on the real media layer with virtual devices: the Device and
// Option popups, the device messages, the graph, and close releasing it all.
#include <gtest/gtest.h>

#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "i18n/language.h"
#include "plugins/transfer/transfer_register.h"

namespace {

class FirstActivationTest : public PreviewFrameTest {
 protected:
  void SetUp() override {
    PreviewFrameTest::SetUp();
    transfer::RegisterStatic();
  }

  void UseDevices(int cameras, int microphones) {
    std::vector<virtualcam::CameraSpec> cams;
    for (int i = 0; i < cameras; ++i) {
      virtualcam::CameraSpec camera;
      camera.name = "Camera " + std::to_string(i);
      cams.push_back(camera);
    }
    std::vector<virtualcam::MicrophoneSpec> mics;
    for (int i = 0; i < microphones; ++i) {
      virtualcam::MicrophoneSpec mic;
      mic.name = "Mic " + std::to_string(i);
      mics.push_back(mic);
    }
    virtualcam::Configure(std::move(cams), std::move(mics));
  }

  int Count(const std::string& text) const {
    int n = 0;
    for (const auto& m : window.messages) n += m.text == text;
    return n;
  }

  platform::Menu& Popup(int position) { return *window.GetMenu()->SubMenu(position); }
};

TEST_F(FirstActivationTest, DevicePopupListsCamerasThenASeparatorThenMicrophones) {
  UseDevices(2, 2);
  Start();
  platform::Menu& devices = Popup(1);
  ASSERT_EQ(devices.ItemCount(), 5);
  EXPECT_EQ(devices.IdAtPosition(0), 16);
  EXPECT_EQ(devices.TextAtPosition(0), "Camera 0");
  EXPECT_EQ(devices.IdAtPosition(1), 17);
  EXPECT_EQ(devices.IdAtPosition(2), 0) << "separator";
  EXPECT_EQ(devices.IdAtPosition(3), 2 + 17);
  EXPECT_EQ(devices.TextAtPosition(4), "Mic 1");
  EXPECT_TRUE(devices.IsChecked(16));
  EXPECT_FALSE(devices.IsChecked(17));
  EXPECT_TRUE(devices.IsChecked(19));
  EXPECT_FALSE(devices.IsChecked(20));
  EXPECT_EQ(frame->m_selectedVideoDevice, 0);
  EXPECT_EQ(frame->m_selectedAudioDevice, 0);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_NE(frame->m_pGraph, nullptr);
  EXPECT_EQ(frame->m_videoWidth, 640);
  EXPECT_EQ(frame->m_videoHeight, 480);
  EXPECT_EQ(window.timers.at(1), 100);
}

TEST_F(FirstActivationTest, OptionPopupGetsThePropertyItemsInTheFrameLanguage) {
  UseDevices(1, 1);
  Start("fr_FR.UTF-8");
  platform::Menu& options = Popup(2);
  ASSERT_EQ(options.ItemCount(), 5);
  EXPECT_EQ(options.IdAtPosition(2), 40);
  EXPECT_EQ(options.TextAtPosition(2), LangText(TXT_MENU_VIDEO_FILTER, kLangFrench));
  EXPECT_EQ(options.TextAtPosition(3), LangText(TXT_MENU_VIDEO_PIN, kLangFrench));
  EXPECT_EQ(options.TextAtPosition(4), LangText(TXT_MENU_AUDIO_FILTER, kLangFrench));
  EXPECT_TRUE(options.IsChecked(32773));
}

TEST_F(FirstActivationTest, NoCameraShowsItsMessageOnceAndStillStartsTheTimer) {
  UseDevices(0, 1);
  Start();
  EXPECT_EQ(Count(LangText(TXT_NO_VIDEO_DEVICE, kLangEnglish)), 1);
  platform::Menu& devices = Popup(1);
  EXPECT_EQ(devices.IdAtPosition(0), 0) << "only the separator precedes the microphones";
  EXPECT_EQ(frame->m_selectedVideoDevice, -1);
  EXPECT_EQ(Popup(2).ItemCount(), 3) << "only the audio filter item";
  EXPECT_EQ(window.timers.at(1), 100);
}

TEST_F(FirstActivationTest, TwelveCamerasListTenWithOneMessage) {
  UseDevices(12, 0);
  Start();
  EXPECT_EQ(Count("Video Capture Device too many"), 1);
  EXPECT_EQ(frame->m_videoDeviceCount, 10);
  EXPECT_EQ(Popup(1).ItemCount(), 11);
}

TEST_F(FirstActivationTest, CloseReleasesTheDevicesAndTheGraphAndSaves) {
  UseDevices(1, 1);
  Start();
  frame->OnClose();
  EXPECT_EQ(frame->m_pGraph, nullptr);
  EXPECT_EQ(frame->m_videoDevices[0], nullptr);
  EXPECT_EQ(frame->m_audioDevices[0], nullptr);
  EXPECT_TRUE(std::filesystem::exists(dir + "/ostrel.INI"));
  EXPECT_EQ(window.timers.count(1), 0u);
}

}  // namespace
