// The graph states' command table on the fake window and the fake media layer.
#include <gtest/gtest.h>

#include <memory>

#include "app/failure_reasons.h"
#include "command_states.h"
#include "platform/fakes/fake_media.h"
#include "platform/fakes/fake_menu.h"
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
  media::fake::FakeMediaFactory& Factory() { return factory_; }
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

// Devices that come and go while the frame runs, in the states a user meets them: what is
// chosen, the Device popup (cameras from 16, a separator, microphones; * checked), the
// messages, and whether the preview or the recording runs afterwards.
enum class Hotplug {
  CameraGone,
  CameraBack,
  FirstCamera,
  AnotherCamera,
  RecordedMicGone,
  OtherMicGone
};
enum class Before { PreviewOff, Previewing, Recording, RecordingSound, ChoseAnother, NoCamera };

struct HotplugRow {
  Before before;
  Hotplug event;
  std::string camera, microphone;  // chosen afterwards; "" none
  std::vector<std::string> popup;
  std::vector<std::string> messages;
  bool running, recording;
};

std::vector<HotplugRow> HotplugRows() {
  const std::string cannot = command_states::En(TXT_CANNOT_PREVIEW);
  const std::string failed = command_states::En(TXT_RECORD_ERROR);
  const std::vector<std::string> both = {"16 Camera 0*", "17 Camera 1", "-", "19 Microphone 0*",
                                         "20 Microphone 1"};
  const std::vector<std::string> second = {"16 Camera 1", "-", "18 Microphone 0*",
                                           "19 Microphone 1"};
  const std::vector<std::string> third = {"16 Camera 0*",     "17 Camera 1",    "18 Camera 2", "-",
                                          "20 Microphone 0*", "21 Microphone 1"};
  const std::vector<std::string> micLeft = {"16 Camera 0*", "17 Camera 1", "-", "19 Microphone 1*"};
  const std::vector<std::string> micKept = {"16 Camera 0*", "17 Camera 1", "-", "19 Microphone 0*"};
  const std::vector<std::string> other = {"16 Camera 0", "17 Camera 1*", "-", "19 Microphone 0*",
                                          "20 Microphone 1"};
  const std::vector<std::string> only = {"16 Camera 0*", "-", "18 Microphone 0*",
                                         "19 Microphone 1"};
  using B = Before;
  using H = Hotplug;
  const std::string c0 = "Camera 0", c1 = "Camera 1", m0 = "Microphone 0", m1 = "Microphone 1";
  return {
      // The camera in use goes away: one message where it was used; a recording ends first.
      {B::PreviewOff, H::CameraGone, "", m0, second, {}, false, false},
      {B::Previewing, H::CameraGone, "", m0, second, {cannot}, false, false},
      {B::Recording, H::CameraGone, "", m0, second, {failed}, false, false},
      {B::RecordingSound, H::CameraGone, "", m0, second, {failed}, false, false},
      // It comes back: chosen again, previewed where the preview is wanted.
      {B::PreviewOff, H::CameraBack, c0, m0, both, {}, false, false},
      {B::Previewing, H::CameraBack, c0, m0, both, {cannot}, true, false},
      {B::Recording, H::CameraBack, c0, m0, both, {failed}, true, false},
      {B::RecordingSound, H::CameraBack, c0, m0, both, {failed}, true, false},
      {B::ChoseAnother, H::CameraBack, c1, m0, other, {cannot}, true, false},
      // The first camera where there was none: chosen and previewed.
      {B::NoCamera, H::FirstCamera, c0, m0, only, {}, true, false},
      // Another camera: listed, nothing else changes.
      {B::PreviewOff, H::AnotherCamera, c0, m0, third, {}, false, false},
      {B::Previewing, H::AnotherCamera, c0, m0, third, {}, true, false},
      {B::Recording, H::AnotherCamera, c0, m0, third, {}, true, true},
      {B::RecordingSound, H::AnotherCamera, c0, m0, third, {}, true, true},
      // The chosen microphone goes away: the other one is chosen; a clip with its sound ends.
      {B::PreviewOff, H::RecordedMicGone, c0, m1, micLeft, {}, false, false},
      {B::Previewing, H::RecordedMicGone, c0, m1, micLeft, {}, true, false},
      {B::Recording, H::RecordedMicGone, c0, m1, micLeft, {}, true, true},
      {B::RecordingSound, H::RecordedMicGone, c0, m1, micLeft, {failed}, true, false},
      // A microphone not in use: only the popup changes.
      {B::Previewing, H::OtherMicGone, c0, m0, micKept, {}, true, false},
      {B::Recording, H::OtherMicGone, c0, m0, micKept, {}, true, true},
      {B::RecordingSound, H::OtherMicGone, c0, m0, micKept, {}, true, true},
  };
}

std::vector<std::string> DevicePopup(platform::Menu& bar) {
  auto* popup = dynamic_cast<platform::FakeMenu*>(bar.SubMenu(1));
  std::vector<std::string> items;
  for (int i = 0; popup && i < popup->ItemCount(); ++i) {
    const auto id = static_cast<uint32_t>(popup->IdAtPosition(i));
    items.push_back(popup->IsSeparator(i) ? "-"
                                          : std::to_string(id) + " " + popup->TextAtPosition(i) +
                                                (popup->IsChecked(id) ? "*" : ""));
  }
  return items;
}

std::string Chosen(const std::array<std::string, FrameState::kMaxDevices>& names, int index) {
  return index >= 0 ? names[static_cast<size_t>(index)] : "";
}

TEST(FakeHotplug, EveryDeviceChangeInEveryState) {
  for (const HotplugRow& row : HotplugRows()) {
    SCOPED_TRACE("before " + std::to_string(static_cast<int>(row.before)) + ", event " +
                 std::to_string(static_cast<int>(row.event)));
    FakeRig rig;
    rig.Factory().watchable = true;
    std::string why;
    const bool recording = row.before == Before::Recording || row.before == Before::RecordingSound;
    ASSERT_TRUE(command_states::Enter(rig,
                                      row.before == Before::NoCamera     ? State::NoVideoDevice
                                      : row.before == Before::PreviewOff ? State::PreviewOff
                                                                         : State::Previewing,
                                      why));
    CMainFrame& f = rig.Frame();
    platform::FakeWindow& w = rig.Window();
    auto& factory = rig.Factory();
    const auto announce = [&] {
      factory.devicesChanged = true;
      f.OnTimer(1);
    };
    if (row.before == Before::RecordingSound) f.OnCommand(kRecordAudio);
    if (recording) {
      f.OnCommand(kStartStopCapture);
      ASSERT_TRUE(f.m_recording);
    }
    const media::fake::CameraSpec first =
        factory.cameras.empty() ? media::fake::CameraSpec{} : factory.cameras.front();
    switch (row.event) {
      case Hotplug::CameraGone:
      case Hotplug::CameraBack:
        factory.cameras.erase(factory.cameras.begin());
        announce();
        if (row.before == Before::ChoseAnother) f.OnCommand(16);  // Camera 1, now the first
        if (row.event == Hotplug::CameraBack) {
          factory.cameras.insert(factory.cameras.begin(), first);
          announce();
        }
        break;
      case Hotplug::FirstCamera:
        factory.cameras.push_back({"Camera 0", "", {VideoType(Subtype::YUY2, 640, 480, 30)}});
        announce();
        break;
      case Hotplug::AnotherCamera:
        factory.cameras.push_back(first);
        factory.cameras.back().name = "Camera 2";
        announce();
        break;
      case Hotplug::RecordedMicGone:
        factory.microphones.erase(factory.microphones.begin());
        announce();
        break;
      case Hotplug::OtherMicGone:
        factory.microphones.pop_back();
        announce();
        break;
    }
    EXPECT_EQ(Chosen(f.m_videoDeviceNames, f.m_selectedVideoDevice), row.camera);
    EXPECT_EQ(Chosen(f.m_audioDeviceNames, f.m_selectedAudioDevice), row.microphone);
    EXPECT_EQ(DevicePopup(*w.GetMenu()), row.popup);
    f.OnInitMenu();
    for (uint32_t id = 16; id < 16 + row.popup.size(); ++id)
      if (row.popup[id - 16] != "-") {
        EXPECT_EQ(w.GetMenu()->IsEnabled(id), !row.recording) << id;
      }
    std::vector<std::string> texts;
    for (const auto& m : w.messages) texts.push_back(m.text);
    EXPECT_EQ(texts, row.messages);
    // Each message says which device went away.
    const std::string reason = row.event == Hotplug::RecordedMicGone
                                   ? failure_reason::MicrophoneUnplugged(f.m_languageIndex)
                                   : failure_reason::CameraUnplugged(f.m_languageIndex);
    for (const auto& m : w.messages) EXPECT_EQ(m.detail, reason) << m.text;
    EXPECT_EQ(f.m_graphRunning != 0, row.running);
    EXPECT_EQ(f.m_recording != 0, row.recording);
    // Nothing built for a device that went away stays behind in the graph; a graph whose
    // camera stayed is as it was.
    std::vector<std::string> names = rig.FilterNames();
    std::sort(names.begin(), names.end());
    const bool cameraStayed = row.event != Hotplug::CameraGone && row.event != Hotplug::CameraBack;
    const bool built = row.running || (row.before == Before::PreviewOff && cameraStayed);
    if (!row.recording) {
      EXPECT_EQ(names, command_states::Expected(built ? command_states::Graph::Preview
                                                      : command_states::Graph::DevicesOnly,
                                                !row.camera.empty()));
    }
  }
}

}  // namespace
