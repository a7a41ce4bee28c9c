// The graph states' command table on the fake window and the fake media layer.
#include <gtest/gtest.h>

#include <memory>

#include "command_states.h"
#include "platform/fakes/fake_media.h"
#include "platform/fakes/fake_system.h"
#include "temp_dir.h"

namespace {

using command_states::State;
using namespace menu_id;
using media::Subtype;
using media::fake::VideoType;

class FakeRig : public command_states::Rig {
 public:
  FakeRig() {
    system.modulePath = dir / "ostrel";
    system.documents = dir.path();
    system.config = dir / "config";
  }
  void Start(const command_states::Devices& devices) override {
    frame_.reset();
    window_ = std::make_unique<platform::FakeWindow>();
    factory_.cameras.clear();
    factory_.microphones.clear();
    for (int i = 0; i < devices.cameras; ++i) {
      media::fake::CameraSpec camera;
      camera.name = "Camera " + std::to_string(i);
      camera.failsToStart = i == 0 && devices.firstCameraFailsToStart;
      camera.formats = i == 1
                           ? std::vector<media::MediaType>{VideoType(Subtype::UYVY, 320, 240, 30),
                                                           VideoType(Subtype::YUY2, 640, 480, 30)}
                           : std::vector<media::MediaType>{VideoType(Subtype::YUY2, 640, 480, 30),
                                                           VideoType(Subtype::YUY2, 1280, 720, 10)};
      factory_.cameras.push_back(camera);
    }
    for (int i = 0; i < devices.microphones; ++i)
      factory_.microphones.push_back("Microphone " + std::to_string(i));
    g_stillSizeIndex = 0;
    frame_ = std::make_unique<CMainFrame>(system, &factory_);
    frame_->AttachWindow(*window_);
    ASSERT_EQ(frame_->OnCreate(), 0);
    frame_->ActivateFrame();
  }
  CMainFrame& Frame() override { return *frame_; }
  platform::FakeWindow& Window() override { return *window_; }
  std::vector<std::string> FilterNames() override {
    std::vector<std::string> names;
    if (frame_->m_pGraph)
      for (const auto& f : frame_->m_pGraph->Filters()) names.push_back(f->Name());
    return names;
  }

  TempDir dir;
  platform::FakeSystem system;

 private:
  media::fake::FakeMediaFactory factory_;
  std::unique_ptr<platform::FakeWindow> window_;
  std::unique_ptr<CMainFrame> frame_;
};

COMMAND_STATES_TESTS(FakeCommandStates, FakeRig);

// Until the recording graphs exist the flags a started recording leaves are set by hand:
// the menu reads nothing else.
TEST(FakeRecordingMenu, WhileRecordingTheDeviceAndGraphItemsAreGrayedAndTheRestIsNot) {
  FakeRig rig;
  std::string why;
  ASSERT_TRUE(command_states::Enter(rig, State::Previewing, why));
  CMainFrame& f = rig.Frame();
  f.m_captureMode = 1;
  f.m_recording = 1;
  f.OnInitMenu();
  platform::Menu& menu = *rig.Window().GetMenu();
  for (uint32_t id :
       {16u, 17u, 19u, 20u, kPreview, kVideoFilterProperties, kVideoPinProperties,
        kAudioFilterProperties, kRecordAudio, kSetCaptureFolder, kSetFrameRate, kRecordTimeLimit})
    EXPECT_FALSE(menu.IsEnabled(id)) << id;
  for (uint32_t id : {kStartStopCapture, kSnapshot, kSetSnapshotFolder, kResetFileNumbers,
                      kFormatAvi, kFormatWmv, kVideoSizeSetting, kAppAbout, kAppExit})
    EXPECT_TRUE(menu.IsEnabled(id)) << id;
  for (uint32_t id : kStillSize)
    if (id) {
      EXPECT_TRUE(menu.IsEnabled(id)) << id;
    }
  // The stop path: back to the preview, the label back to Start.
  f.OnCommand(kStartStopCapture);
  EXPECT_EQ(command_states::FlagsOf(f), command_states::kPreviewing);
  EXPECT_EQ(menu.TextOfCommand(kStartStopCapture), command_states::En(TXT_START_CAPTURE));
  f.OnInitMenu();
  EXPECT_TRUE(menu.IsEnabled(17));
}

}  // namespace
