// On a desktop's own sound and video stack (PipeWire with WirePlumber and its Pulse layer,
// started by sound_server.sh): each device listed once, and a camera only PipeWire serves
// recorded with sound from a virtual source. Inside tests/support/uvc_camera.sh, where
// PipeWire's V4L2 monitor sees the emulated camera too, that camera is listed once and used
// through its node.
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "recording_fixture.h"

namespace {

constexpr const char* kEmulatedCamera = "Emulated Webcam";

class DesktopStackTest : public RecordingTest {
 protected:
  void SetUp() override {
    if (!std::getenv("OSTREL_TEST_SOUND_SERVER"))
      GTEST_SKIP() << "runs under sound_server.sh, which starts the sound server";
    emulated = std::getenv("UVCEMU_DIR") != nullptr;
    RecordingTest::SetUp();
    frame = std::make_unique<TestCaptureFrame>("");
    ASSERT_TRUE(frame->EnumerateVideoDevices());
    frame->EnumerateAudioDevices();
    for (int i = 0; i < frame->m_videoDeviceCount; ++i)
      videoNames.push_back(frame->m_videoDeviceNames[i]);
    for (int i = 0; i < frame->m_audioDeviceCount; ++i)
      audioNames.push_back(frame->m_audioDeviceNames[i]);
  }

  int VideoIndex(const std::string& name) const {
    const auto it = std::find(videoNames.begin(), videoNames.end(), name);
    return it == videoNames.end() ? -1 : static_cast<int>(it - videoNames.begin());
  }

  // Records a clip of 45 frames with sound from the virtual source and reads it back: it
  // starts at 0, ends with the wall time, keeps its sound with the picture.
  void RecordAndCheck(int format, const std::string& name) {
    SCOPED_TRACE(name);
    frame->m_captureFolder = dir;
    frame->m_recordAudio = 1;
    frame->m_captureMode = 1;
    frame->m_recordFormat = format;
    const int delivered = Record(45);
    const std::string path = Clip(name.c_str());
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_LT(std::filesystem::file_size(path), 60u << 20);
    ProbedClip ff;
    ASSERT_NO_FATAL_FAILURE(ExpectWholeClip(path, ff));
    EXPECT_GE(ff.Find("video")->frames, delivered - 2);
    EXPECT_EQ(TimestampComplaints(path), 0);
    EXPECT_GT(DiscoveredFrameRate(path), 0);
  }

  bool emulated = false;
  std::vector<std::string> videoNames;
  std::vector<std::string> audioNames;
};

TEST_F(DesktopStackTest, ListsEachDeviceOnceAndNoMonitorOrSink) {
  std::vector<std::string> expected{"PipeWire Test Camera"};
  if (emulated) {
    // Both providers see the emulated camera: PipeWire's copy is the "(V4L2)" node.
    ASSERT_EQ(std::system("pw-cli ls Node | grep -q 'v4l2_input\\.'"), 0)
        << "PipeWire's V4L2 monitor does not list the emulated camera";
    expected.push_back(kEmulatedCamera);
  }
  std::vector<std::string> listed = videoNames;
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  // The virtual source once (through the Pulse layer, not PipeWire's sink element); the
  // null sink's monitor not at all.
  EXPECT_EQ(audioNames, std::vector<std::string>{"mic Audio/Source/Virtual sink"});
  EXPECT_TRUE(frame->window.messages.empty());
}

// An AVI, then a WMV in the same graph: each clip starts at 0 whatever PipeWire stamps its
// buffers with. The devices are watched meanwhile, as the program does, and the watch stopped
// after them (PipeWire's provider stopped then corrupted the heap: an abort at exit).
TEST_F(DesktopStackTest, RecordsAviAndWmvFromThePipeWireCameraWithSoundFromTheVirtualSource) {
  std::shared_ptr<media::DeviceEnumerator> watch = frame->Media().CreateDeviceEnumerator();
  ASSERT_TRUE(watch->WatchChanges());
  frame->m_selectedVideoDevice = VideoIndex("PipeWire Test Camera");
  ASSERT_GE(frame->m_selectedVideoDevice, 0);
  ASSERT_EQ(frame->m_audioDeviceCount, 1);
  frame->m_selectedAudioDevice = 0;
  ASSERT_TRUE(frame->CreateGraph());
  // The node offers RGB first, which no clip holds: the camera starts in its UYVY.
  frame->ReadCaptureFormat(frame->m_videoWidth, frame->m_videoHeight, frame->m_videoSubtype);
  EXPECT_EQ(frame->m_videoSubtype, static_cast<int>(media::Subtype::UYVY));
  EXPECT_EQ(frame->m_videoWidth, 640);
  RecordAndCheck(0, "Clip0000.AVI");
  // The clips of one session are numbered on.
  RecordAndCheck(1, "Clip0001.WMV");
  frame.reset();
  watch.reset();
}

// The camera both providers list is used through V4L2: its picture controls are the
// node's, and it records with sound.
TEST_F(DesktopStackTest, CameraOfBothProvidersIsUsedThroughItsNode) {
  if (!emulated)
    GTEST_SKIP() << "needs the emulated camera: ctest's desktop_stack_uvc_test runs it";
  frame->m_selectedVideoDevice = VideoIndex(kEmulatedCamera);
  ASSERT_GE(frame->m_selectedVideoDevice, 0);
  frame->m_selectedAudioDevice = 0;
  ASSERT_TRUE(frame->CreateGraph());
  // The device's settings are the node's own controls (the emulated camera's brightness).
  std::shared_ptr<media::PropertyPages> pages =
      frame->m_videoDevices[frame->m_selectedVideoDevice]->GetPropertyPages();
  ASSERT_TRUE(pages);
  const media::Property* brightness = nullptr;
  const std::vector<media::PropertyPage> shown = pages->Pages();
  for (const auto& page : shown)
    for (const auto& property : page.properties)
      if (property.name == "Brightness") brightness = &property;
  ASSERT_TRUE(brightness) << "no Brightness control: not the V4L2 device";
  EXPECT_EQ(std::make_tuple(brightness->minimum, brightness->maximum, brightness->defaultValue),
            std::make_tuple(0, 255, 128));
  frame->ReadCaptureFormat(frame->m_videoWidth, frame->m_videoHeight, frame->m_videoSubtype);
  RecordAndCheck(0, "Clip0000.AVI");
}

}  // namespace
