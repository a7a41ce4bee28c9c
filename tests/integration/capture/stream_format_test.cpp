// Capture format and frame rate of the virtual camera.
#include <gtest/gtest.h>

#include "capture_test_support.h"

namespace {

// A frame with one camera listed, selected and in the graph.
void Open(TestCaptureFrame& frame) {
  ASSERT_TRUE(frame.EnumerateVideoDevices());
  frame.m_selectedVideoDevice = 0;
  ASSERT_TRUE(frame.CreateGraph());
}

TEST(CaptureFormat, RefusedRateSaysSoOnceAndReadsBackTheDevicesRate) {
  auto cam = Camera("Stubborn");
  cam.refusesFrameRate = true;
  UseDevices({cam});
  TestCaptureFrame frame;
  Open(frame);
  int actual = 60;
  EXPECT_TRUE(frame.SetFrameRate(60, actual));
  EXPECT_EQ(actual, 30);
  EXPECT_EQ(CountMessages(frame.window, "Cannot set new frame rate"), 1);
  EXPECT_EQ(frame.window.messages.back().caption, "");
  EXPECT_EQ(frame.window.messages.back().icon, platform::MessageIcon::None);
}

TEST(CaptureFormat, AcceptedRateReadsBackAndZeroKeepsIt) {
  UseDevices({Camera("Cam")});
  TestCaptureFrame frame;
  Open(frame);
  int actual = 0;
  EXPECT_TRUE(frame.SetFrameRate(15, actual));
  EXPECT_EQ(actual, 15);
  EXPECT_TRUE(frame.SetFrameRate(0, actual));
  EXPECT_EQ(actual, 15);
  EXPECT_TRUE(frame.window.messages.empty());
}

TEST(CaptureFormat, MjpgFormatGivesCodeSeven) {
  auto cam = Camera("Mjpg");
  cam.formats = {{"MJPG", 1280, 720, 30}, {"YUY2", 640, 480, 30}};
  UseDevices({cam});
  TestCaptureFrame frame;
  Open(frame);
  EXPECT_EQ(frame.m_videoWidth, 1280);
  EXPECT_EQ(frame.m_videoHeight, 720);
  EXPECT_EQ(frame.m_videoSubtype, 7);
}

TEST(CaptureFormat, TopDownRgbGivesPositiveHeight) {
  auto cam = Camera("TopDown");
  cam.topDown = true;
  cam.formats = {{"RGB24", 640, 480, 30}};
  UseDevices({cam});
  TestCaptureFrame frame;
  Open(frame);
  media::MediaType raw;
  std::shared_ptr<media::StreamConfig> config;
  ASSERT_EQ(frame.m_pBuilder->FindStreamConfig(media::PinCategory::Capture, media::MajorType::Video,
                                               *frame.m_videoDevices[0], config),
            media::kOk);
  ASSERT_EQ(config->GetFormat(raw), media::kOk);
  EXPECT_EQ(raw.height, -480);  // the device stores it top-down
  EXPECT_EQ(frame.m_videoHeight, 480);
  EXPECT_EQ(frame.m_videoSubtype, 5);
}

TEST(CaptureFormat, FormatChosenOnTheCapturePinPageIsReadBack) {
  UseDevices({Camera("Cam")});
  TestCaptureFrame frame;
  Open(frame);
  std::shared_ptr<media::StreamConfig> config;
  ASSERT_EQ(frame.m_pBuilder->FindStreamConfig(media::PinCategory::Capture, media::MajorType::Video,
                                               *frame.m_videoDevices[0], config),
            media::kOk);
  EXPECT_NE(
      frame.m_pBuilder->FindStreamConfig(media::PinCategory::Capture, media::MajorType::Interleaved,
                                         *frame.m_videoDevices[0], config),
      media::kOk);
  ASSERT_EQ(frame.m_pBuilder->FindStreamConfig(media::PinCategory::Capture, media::MajorType::Video,
                                               *frame.m_videoDevices[0], config),
            media::kOk);
  auto pages = config->GetPropertyPages();
  ASSERT_TRUE(pages);
  auto page = pages->Pages();
  ASSERT_EQ(page.size(), 1u);
  ASSERT_EQ(page[0].properties.size(), 1u);
  const auto& formats = page[0].properties[0];
  ASSERT_EQ(formats.choices.size(), 8u);
  EXPECT_EQ(formats.value, 0);
  EXPECT_EQ(formats.choices[6], "MJPG 1280 x 720, 30 fps");
  ASSERT_TRUE(pages->Apply(0, 0, 3));  // I420 640x480
  int w = 0, h = 0, code = 0;
  EXPECT_TRUE(frame.ReadCaptureFormat(w, h, code));
  EXPECT_EQ(code, 4);
  EXPECT_EQ(w, 640);
}

}  // namespace
