// Commands on the real GStreamer layer: device choice, the property sheets, the format
// change and the window sizes they leave.
#include <gtest/gtest.h>

#include <fstream>

#include "capture/graph_utils.h"
#include "gst_rig.h"
#include "res/dialog_templates.h"

namespace {

using namespace menu_id;

class GstCommandsTest : public ::testing::Test {
 protected:
  void StartWith(int cameras, int microphones) {
    command_states::Devices devices;
    devices.cameras = cameras;
    devices.microphones = microphones;
    rig.Start(devices);
  }
  CMainFrame& F() { return rig.Frame(); }
  PreviewWindow& W() { return rig.Preview(); }
  platform::Menu& M() { return *W().GetMenu(); }
  // The client area above the status bar.
  std::pair<int, int> VideoArea() {
    const platform::Rect cli = W().ClientRect();
    return {cli.right, cli.bottom - F().m_statusBarHeight - 1};
  }
  // Chooses the choice of the sheet's first property whose text starts with `prefix`.
  static std::function<void(media::PropertyPages&)> Choose(const std::string& prefix) {
    return [prefix](media::PropertyPages& pages) {
      const auto data = pages.Pages();
      ASSERT_FALSE(data.empty());
      ASSERT_FALSE(data[0].properties.empty());
      const auto& choices = data[0].properties[0].choices;
      for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i].rfind(prefix, 0) == 0) {
          ASSERT_TRUE(pages.Apply(0, 0, static_cast<int32_t>(i)));
          return;
        }
      FAIL() << "no choice " << prefix;
    };
  }

  GstRig rig;
};

TEST_F(GstCommandsTest, OneCameraAndOneMicrophoneAndChoosingTheMicrophoneAgain) {
  StartWith(1, 1);
  platform::Menu& devices = *M().SubMenu(menu_pos::kDevice);
  ASSERT_EQ(devices.ItemCount(), 3);
  EXPECT_EQ(devices.IdAtPosition(0), 16);
  EXPECT_EQ(devices.IdAtPosition(1), 0);
  EXPECT_EQ(devices.IdAtPosition(2), 18);
  EXPECT_TRUE(M().IsChecked(16));
  EXPECT_TRUE(M().IsChecked(18));
  auto audio = F().m_audioDevices[0];
  F().OnCommand(18);
  EXPECT_TRUE(M().IsChecked(18));
  EXPECT_EQ(F().m_selectedAudioDevice, 0);
  EXPECT_EQ(F().m_graphRunning, 1);
  EXPECT_EQ(F().m_pGraph->FindFilterByName("Audio Capture device"), audio);
  EXPECT_TRUE(W().messages.empty());
}

TEST_F(GstCommandsTest, TenCamerasLeaveBothMicrophonesChoosable) {
  StartWith(10, 2);
  ASSERT_EQ(F().m_videoDeviceCount, 10);
  EXPECT_EQ(M().TextOfCommand(27), "Microphone 0");
  EXPECT_EQ(M().TextOfCommand(28), "Microphone 1");
  F().OnInitMenu();
  EXPECT_TRUE(M().IsEnabled(28));
  F().OnCommand(28);
  EXPECT_EQ(F().m_selectedAudioDevice, 1);
  EXPECT_TRUE(M().IsChecked(28));
  EXPECT_FALSE(M().IsChecked(27));
  EXPECT_EQ(F().m_pGraph->FindFilterByName("Audio Capture device"), F().m_audioDevices[1]);
  F().OnCommand(27);
  EXPECT_EQ(F().m_selectedAudioDevice, 0);
  EXPECT_EQ(F().m_graphRunning, 1) << "the preview is not disturbed";
}

TEST_F(GstCommandsTest, FirstSizingGivesTheVideoAreaSixForty) {
  StartWith(1, 0);
  EXPECT_EQ(VideoArea(), std::make_pair(640, 480));
}

TEST_F(GstCommandsTest, SwitchingCamerasRestartsWithTheNewFormatWithoutResizing) {
  StartWith(2, 1);
  ASSERT_EQ(F().m_videoWidth, 640);
  W().resizes.clear();
  F().OnCommand(17);
  EXPECT_EQ(F().m_selectedVideoDevice, 1);
  EXPECT_EQ(F().m_videoWidth, 320);
  EXPECT_EQ(F().m_videoHeight, 240);
  EXPECT_EQ(F().m_videoSubtype, 1) << "UYVY";
  EXPECT_EQ(F().m_graphRunning, 1);
  EXPECT_TRUE(W().resizes.empty());
  EXPECT_TRUE(M().IsChecked(17));
  EXPECT_FALSE(M().IsChecked(16));
  EXPECT_EQ(F().m_pGraph->FindFilterByName("Video Capture device"), F().m_videoDevices[1]);
  const int shown = W().surface.Frames();
  EXPECT_TRUE(WaitFor([&] { return W().surface.Frames() > shown + 2; }));
  EXPECT_TRUE(W().messages.empty());
}

TEST_F(GstCommandsTest, PreviewOffAndOnReusesTheBuiltGraph) {
  StartWith(1, 0);
  auto renderer = F().m_pVideoRenderer;
  F().OnCommand(kPreview);
  EXPECT_FALSE(M().IsChecked(kPreview));
  EXPECT_EQ(F().m_graphBuilt, 1);
  F().OnCommand(kPreview);
  EXPECT_TRUE(M().IsChecked(kPreview));
  EXPECT_EQ(F().m_pVideoRenderer, renderer);
  EXPECT_EQ(F().m_graphRunning, 1);
  const int shown = W().surface.Frames();
  EXPECT_TRUE(WaitFor([&] { return W().surface.Frames() > shown + 2; }));
}

TEST_F(GstCommandsTest, CapturePinSheetAppliesTheChosenFormatRefitsAndRebuilds) {
  StartWith(1, 0);
  auto renderer = F().m_pVideoRenderer;
  W().sheetScripts.push_back(Choose("YUY2 1280 x 720"));
  F().OnCommand(kVideoPinProperties);
  ASSERT_EQ(W().sheets.size(), 1u);
  EXPECT_EQ(W().sheets[0].pages[0].title, "Stream Format");
  EXPECT_EQ(F().m_videoWidth, 1280);
  EXPECT_EQ(F().m_videoHeight, 720);
  EXPECT_EQ(VideoArea(), std::make_pair(1280, 720));
  EXPECT_NE(F().m_pVideoRenderer, renderer) << "rebuilt";
  EXPECT_EQ(F().m_graphRunning, 1);
  EXPECT_TRUE(WaitFor([&] { return W().surface.Frames() > 2; }));
  EXPECT_TRUE(W().messages.empty());
}

TEST_F(GstCommandsTest, CancellingTheCapturePinSheetStillRefitsAndRebuilds) {
  StartWith(1, 0);
  W().SetWindowSize(500, 400);  // the user had resized the window
  auto renderer = F().m_pVideoRenderer;
  F().OnCommand(kVideoPinProperties);
  EXPECT_EQ(VideoArea(), std::make_pair(640, 480));
  EXPECT_NE(F().m_pVideoRenderer, renderer);
  EXPECT_EQ(F().m_graphRunning, 1);
}

TEST_F(GstCommandsTest, PictureControlsApplyToTheCamera) {
  StartWith(1, 1);
  W().sheetScripts.push_back([](media::PropertyPages& pages) {
    const auto data = pages.Pages();
    ASSERT_EQ(data.size(), 1u);
    ASSERT_FALSE(data[0].properties.empty());
    EXPECT_EQ(data[0].properties[0].name, "Brightness");
    EXPECT_TRUE(pages.Apply(0, 0, 20));
  });
  F().OnCommand(kVideoFilterProperties);
  ASSERT_EQ(W().sheets.size(), 1u);
  int32_t brightness = 0;
  auto amp = F().m_videoDevices[0]->GetVideoProcAmp();
  ASSERT_TRUE(amp);
  ASSERT_TRUE(media::Succeeded(amp->Get(media::VideoProcAmpProperty::Brightness, brightness)));
  EXPECT_EQ(brightness, 20);
}

TEST_F(GstCommandsTest, EachCameraKeepsItsFormatRateAndPictureAcrossSwitchesAndRestarts) {
  const auto brightness = [&](int camera) {
    int32_t value = -1;
    F().m_videoDevices[camera]->GetVideoProcAmp()->Get(media::VideoProcAmpProperty::Brightness,
                                                       value);
    return value;
  };
  const auto frameTime = [&] {
    std::shared_ptr<media::StreamConfig> config;
    media::MediaType type;
    F().m_pBuilder->FindStreamConfig(media::PinCategory::Capture, media::MajorType::Video,
                                     *F().m_videoDevices[F().m_selectedVideoDevice], config);
    config->GetFormat(type);
    return type.avgTimePerFrame;
  };
  StartWith(2, 0);
  W().sheetScripts.push_back(Choose("YUY2 1280 x 720"));
  F().OnCommand(kVideoPinProperties);
  W().dialogScript = {platform::DialogAction::Toggle(dialog_id::kFrameRateEnable),
                      platform::DialogAction::Type(dialog_id::kFrameRateEdit, "15"),
                      platform::DialogAction::Ok()};
  F().OnCommand(kSetFrameRate);
  W().sheetScripts.push_back([](media::PropertyPages& pages) { pages.Apply(0, 0, 20); });
  F().OnCommand(kVideoFilterProperties);

  // The other camera starts as it always did; the first comes back as it was left.
  F().OnCommand(17);
  EXPECT_EQ(F().m_videoWidth, 320);
  EXPECT_EQ(brightness(1), 0);
  F().OnCommand(16);
  EXPECT_EQ(F().m_videoWidth, 1280);
  EXPECT_EQ(frameTime(), media::kUnitsPerSecond / 15);
  EXPECT_EQ(brightness(0), 20);

  // At the next start; a kept value the camera does not take is left out, the rest holds.
  const std::string ini = rig.system.modulePath + ".INI";
  std::ifstream in(ini);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("Identity=virtual:Camera 0"), std::string::npos) << text;
  const size_t contrast = text.find("Control contrast=");
  ASSERT_NE(contrast, std::string::npos) << text;
  text.replace(contrast, text.find_first_of("\r\n", contrast) - contrast, "Control contrast=999");
  std::ofstream(ini) << text;
  StartWith(2, 0);
  EXPECT_EQ(F().m_videoWidth, 1280);
  EXPECT_EQ(F().m_frameRateEnabled, 1);
  EXPECT_EQ(F().m_frameRate, 15);
  EXPECT_EQ(frameTime(), media::kUnitsPerSecond / 15);
  EXPECT_EQ(brightness(0), 20);
  EXPECT_EQ(F().m_graphRunning, 1);
  EXPECT_TRUE(W().messages.empty());
}

TEST_F(GstCommandsTest, MicrophoneWithoutControlsGetsAPageThatSaysSo) {
  StartWith(1, 1);
  F().OnCommand(kAudioFilterProperties);
  ASSERT_EQ(W().sheets.size(), 1u);
  ASSERT_EQ(W().sheets[0].pages.size(), 1u);
  EXPECT_TRUE(W().sheets[0].pages[0].properties.empty());
}

TEST_F(GstCommandsTest, VideoSizeSettingSizesTheVideoAreaToTheTransferOutput) {
  StartWith(1, 0);
  ASSERT_TRUE(F().m_pTransferFilter);
  W().sheetScripts.push_back(Choose("320 x 240"));
  F().OnCommand(kVideoSizeSetting);
  ASSERT_EQ(W().sheets.size(), 1u);
  int32_t w = 0, h = 0;
  ASSERT_TRUE(WaitFor(
      [&] { return GetOutputPinVideoSize(F().m_pTransferFilter.get(), w, h) && w == 320; }));
  // The size is read as the sheet closes; a second use reads the settled size.
  F().OnCommand(kVideoSizeSetting);
  EXPECT_EQ(VideoArea(), std::make_pair(320, 240));
}

}  // namespace
