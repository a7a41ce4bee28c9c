// On a desktop's own sound and video stack (PipeWire with WirePlumber and its Pulse layer,
// started by sound_server.sh): each device listed once, and a camera only PipeWire serves
// recorded with sound from a virtual source.
#include <cstdlib>

#include "recording_fixture.h"

namespace {

class DesktopStackTest : public RecordingTest {
 protected:
  void SetUp() override {
    if (!std::getenv("OSTREL_TEST_SOUND_SERVER"))
      GTEST_SKIP() << "runs under sound_server.sh, which starts the sound server";
    RecordingTest::SetUp();
    frame = std::make_unique<TestCaptureFrame>("");
    ASSERT_TRUE(frame->EnumerateVideoDevices());
    frame->EnumerateAudioDevices();
    for (int i = 0; i < frame->m_videoDeviceCount; ++i)
      videoNames.push_back(frame->m_videoDeviceNames[i]);
    for (int i = 0; i < frame->m_audioDeviceCount; ++i)
      audioNames.push_back(frame->m_audioDeviceNames[i]);
  }
  std::vector<std::string> videoNames;
  std::vector<std::string> audioNames;
};

TEST_F(DesktopStackTest, ListsEachDeviceOnceAndNoMonitorOrSink) {
  EXPECT_EQ(videoNames, std::vector<std::string>{"PipeWire Test Camera"});
  // The virtual source once (through the Pulse layer, not PipeWire's sink element); the
  // null sink's monitor not at all.
  EXPECT_EQ(audioNames, std::vector<std::string>{"mic Audio/Source/Virtual sink"});
  EXPECT_TRUE(frame->window.messages.empty());
}

// An AVI, then a WMV in the same graph: each clip starts at 0 whatever PipeWire stamps its
// buffers with, ends with the wall time, keeps its sound with the picture and stops.
TEST_F(DesktopStackTest, RecordsAviAndWmvFromThePipeWireCameraWithSoundFromTheVirtualSource) {
  ASSERT_EQ(frame->m_videoDeviceCount, 1);
  ASSERT_EQ(frame->m_audioDeviceCount, 1);
  frame->m_selectedVideoDevice = 0;
  frame->m_selectedAudioDevice = 0;
  ASSERT_TRUE(frame->CreateGraph());
  // The node offers RGB first, which is not recorded: UYVY is chosen as on the pin's page.
  std::shared_ptr<media::StreamConfig> config;
  frame->m_pBuilder->FindStreamConfig(media::PinCategory::Capture, media::MajorType::Video,
                                      *frame->m_videoDevices[0], config);
  ASSERT_TRUE(config);
  media::MediaType uyvy;
  for (int i = 0; i < config->CapabilityCount(); ++i)
    if (config->GetCapability(i, uyvy) && uyvy.subtype == media::Subtype::UYVY) break;
  ASSERT_EQ(uyvy.subtype, media::Subtype::UYVY);
  EXPECT_EQ(uyvy.width, 640);
  ASSERT_EQ(config->SetFormat(uyvy), media::kOk);
  frame->ReadCaptureFormat(frame->m_videoWidth, frame->m_videoHeight, frame->m_videoSubtype);
  frame->m_captureFolder = dir;
  frame->m_recordAudio = 1;
  frame->m_captureMode = 1;
  for (const int format : {0, 1}) {
    SCOPED_TRACE(format == 0 ? "AVI" : "WMV");
    frame->m_recordFormat = format;
    const auto started = std::chrono::steady_clock::now();
    const int delivered = Record(45);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // The clips of one session are numbered on.
    const std::string path = Clip(format == 0 ? "Clip0000.AVI" : "Clip0001.WMV");
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_LT(std::filesystem::file_size(path), 60u << 20) << path;
    const ProbedClip ff = ProbeWithFfprobe(path);
    ASSERT_TRUE(ff.ok) << ff.error;
    const ProbedStream* video = ff.Find("video");
    const ProbedStream* audio = ff.Find("audio");
    ASSERT_TRUE(video && audio) << path;
    EXPECT_GE(video->frames, delivered - 2) << path;
    EXPECT_LT(video->start, 0.5) << path;
    EXPECT_LT(video->end, seconds + 0.5) << path;
    EXPECT_NEAR(audio->end, video->end, 0.3) << path;
    EXPECT_EQ(TimestampComplaints(path), 0) << path;
    EXPECT_GT(DiscoveredFrameRate(path), 0) << path;
  }
}

}  // namespace
