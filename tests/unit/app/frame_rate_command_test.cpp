// Command 32778 over the fake window's scripted dialog and the fake media layer: what the
// frame-rate dialog's answer does to the camera and the preview.
#include <gtest/gtest.h>

#include <memory>

#include "frame_fixture.h"
#include "res/dialog_templates.h"
#include "res/menu_ids.h"

namespace {

using platform::DialogAction;
namespace Control = dialog_id;

class FrameRateCommandTest : public FakeLayerFrameTest {
 protected:
  void Start(int cameras = 1) {
    for (int i = 0; i < cameras; ++i) {
      media::fake::CameraSpec camera;
      camera.formats = {media::fake::VideoType(media::Subtype::YUY2, 640, 480, 30)};
      factory.cameras.push_back(camera);
    }
    StartOnFakeLayer();
  }
  // The camera's current frame time, in 100 ns units.
  int64_t CameraFrameTime() {
    std::shared_ptr<media::StreamConfig> config;
    frame->m_pBuilder->FindStreamConfig(media::PinCategory::Capture, media::MajorType::Video,
                                        *frame->m_videoDevices[0], config);
    media::MediaType type;
    config->GetFormat(type);
    return type.avgTimePerFrame;
  }
  bool Run32778() { return frame->OnCommand(menu_id::kSetFrameRate); }
};

TEST_F(FrameRateCommandTest, OkWithoutAChangeAppliesNothing) {
  Start();
  const uint32_t slept = system.slept;
  window.dialogScript = {DialogAction::Ok()};
  EXPECT_TRUE(Run32778());
  ASSERT_EQ(window.dialogRuns.size(), 1u);
  EXPECT_EQ(window.dialogRuns[0].resourceId, 133);
  EXPECT_EQ(frame->m_frameRate, 60);
  EXPECT_EQ(frame->m_frameRateEnabled, 0);
  EXPECT_EQ(system.slept, slept) << "the graph was neither stopped nor restarted";
  EXPECT_EQ(CameraFrameTime(), media::kUnitsPerSecond / 30);
}

TEST_F(FrameRateCommandTest, AnEnabledRateIsSetOnTheCameraAndThePreviewRestarts) {
  Start();
  window.dialogScript = {DialogAction::Toggle(Control::kFrameRateEnable),
                         DialogAction::Type(Control::kFrameRateEdit, "15"), DialogAction::Ok()};
  EXPECT_TRUE(Run32778());
  EXPECT_EQ(frame->m_frameRateEnabled, 1);
  EXPECT_EQ(frame->m_frameRate, 15) << "the rate the camera took";
  EXPECT_EQ(CameraFrameTime(), media::kUnitsPerSecond / 15);
  EXPECT_EQ(frame->m_graphRunning, 1);
  EXPECT_EQ(frame->m_graphBuilt, 1) << "not rebuilt";
  EXPECT_TRUE(window.messages.empty());

  // Unchecking the box goes back to 60.
  window.dialogScript = {DialogAction::Toggle(Control::kFrameRateEnable), DialogAction::Ok()};
  EXPECT_TRUE(Run32778());
  EXPECT_EQ(frame->m_frameRateEnabled, 0);
  EXPECT_EQ(frame->m_frameRate, 60);
  EXPECT_EQ(CameraFrameTime(), media::kUnitsPerSecond / 60);
}

TEST_F(FrameRateCommandTest, WithThePreviewOffTheRateIsSetAndTheGraphStaysStopped) {
  Start();
  frame->OnCommand(menu_id::kPreview);
  ASSERT_EQ(frame->m_graphRunning, 0);
  window.dialogScript = {DialogAction::Toggle(Control::kFrameRateEnable),
                         DialogAction::Type(Control::kFrameRateEdit, "20"), DialogAction::Ok()};
  EXPECT_TRUE(Run32778());
  EXPECT_EQ(CameraFrameTime(), media::kUnitsPerSecond / 20);
  EXPECT_EQ(frame->m_graphRunning, 0);
}

TEST_F(FrameRateCommandTest, CancelStoresNothing) {
  Start();
  window.dialogScript = {DialogAction::Toggle(Control::kFrameRateEnable),
                         DialogAction::Type(Control::kFrameRateEdit, "15"), DialogAction::Cancel()};
  EXPECT_TRUE(Run32778());
  EXPECT_EQ(frame->m_frameRateEnabled, 0);
  EXPECT_EQ(frame->m_frameRate, 60);
  EXPECT_EQ(CameraFrameTime(), media::kUnitsPerSecond / 30);
}

TEST_F(FrameRateCommandTest, WithoutACameraItSaysSoInEnglishWithoutAnIcon) {
  system.locale = "de_DE.UTF-8";
  Start(0);
  EXPECT_FALSE(Run32778());
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "You have no video capture device");
  EXPECT_EQ(window.messages[0].icon, platform::MessageIcon::None);
  EXPECT_EQ(window.messages[0].caption, "");
  EXPECT_TRUE(window.dialogRuns.empty());
}

}  // namespace
