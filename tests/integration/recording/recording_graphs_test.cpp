// The AVI and WMV recording graphs on the virtual devices: their filters and inputs,
// the clip names, and the clips as ffprobe and GStreamer read them back.
#include <fstream>

#include "recording_fixture.h"

namespace {

// Seconds a stream may start after 0: a camera on a loaded machine makes its first
// frame late (not 1000 hours late, as an encoder's own timestamps would).
constexpr double kStartSlack = 0.5;
// Seconds sound and picture may end apart in a test; the benchmark measures the real
// gap (within a frame) on a quiet machine.
constexpr double kEndSlack = 0.1;

void ExpectSameVideoInBothReaders(const ProbedClip& ff, const ProbedClip& gst) {
  ASSERT_TRUE(ff.ok) << ff.error;
  ASSERT_TRUE(gst.ok) << gst.error;
  ASSERT_TRUE(ff.Find("video"));
  ASSERT_TRUE(gst.Find("video"));
  EXPECT_EQ(ff.Find("video")->frames, gst.Find("video")->frames);
  EXPECT_NEAR(ff.Find("video")->start, 0.0, kStartSlack);
  EXPECT_NEAR(gst.Find("video")->start, 0.0, kStartSlack);
}

struct AviFormat {
  const char* fourcc;
  const char* codec;  // as ffprobe names it
};

class AviFormats : public RecordingTest, public ::testing::WithParamInterface<AviFormat> {};

TEST_P(AviFormats, TheVideoGoesIntoTheAviAsTheCameraDeliversItWithNoFrameLost) {
  Open(CameraIn(GetParam().fourcc, 640, 480, 30), {});
  ASSERT_EQ(frame->m_selectedAudioDevice, -1);
  frame->m_recordAudio = 1;  // no microphone: a clip without sound and no message
  long kept = 0;             // what a snapshot taken while recording gets: the frame in RGB24
  const int delivered = Record(20, [&] {
    ASSERT_TRUE(frame->m_pPreviewGrabber);
    std::shared_ptr<media::SampleGrabber> grabber = frame->m_pPreviewGrabber->GetSampleGrabber();
    grabber->SetBufferSamples(true);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!media::Succeeded(grabber->GetCurrentBuffer(kept, nullptr)) &&
           std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    grabber->SetBufferSamples(false);
  });
  EXPECT_EQ(kept, 640 * 480 * 3);
  EXPECT_TRUE(frame->window.messages.empty());
  EXPECT_EQ(frame->m_clipIndex, 1);
  const ProbedClip ff = ProbeWithFfprobe(Clip("Clip0000.AVI"));
  ExpectSameVideoInBothReaders(ff, ProbeWithGStreamer(Clip("Clip0000.AVI")));
  ASSERT_EQ(ff.streams.size(), 1u);
  EXPECT_EQ(ff.streams[0].codec, GetParam().codec);
  EXPECT_GE(ff.streams[0].frames, delivered);
  // Frames the camera made late are repeated, never more than its start took.
  EXPECT_LE(ff.streams[0].frames, delivered + 60);
}

INSTANTIATE_TEST_SUITE_P(
    CaptureFormats, AviFormats,
    ::testing::Values(AviFormat{"YUY2", "rawvideo"}, AviFormat{"UYVY", "rawvideo"},
                      AviFormat{"I420", "rawvideo"}, AviFormat{"RGB24", "rawvideo"},
                      AviFormat{"RGB32", "rawvideo"}, AviFormat{"MJPG", "mjpeg"}),
    [](const auto& info) { return std::string(info.param.fourcc); });

TEST_F(RecordingTest, AviWithSoundHoldsTheVideoThenPcmSoundBothFromZero) {
  Open(CameraIn("YUY2", 640, 480, 30));
  frame->m_recordAudio = 1;
  ASSERT_TRUE(frame->BuildGraph());
  // The clip's frames pass the grabber that snapshots read while recording.
  EXPECT_EQ(PeerOf(*frame->m_pAviMux, media::PinDirection::Input, 0), "Grabber");
  ASSERT_TRUE(frame->m_pPreviewGrabber);
  EXPECT_EQ(PeerOf(*frame->m_pPreviewGrabber, media::PinDirection::Input, 0), "Start tee");
  EXPECT_EQ(PeerOf(*frame->m_pAviMux, media::PinDirection::Input, 1), "Audio Capture device");
  EXPECT_EQ(PeerOf(*frame->m_pAviMux, media::PinDirection::Output, 0), "FileWriter");
  EXPECT_EQ(PeerOf(*frame->m_pSmartTee, media::PinDirection::Output, 1), "Render");
  for (const char* absent : {"Video DynamicInterpolation", "SampleGrab", "NullRender"})
    EXPECT_FALSE(frame->m_pGraph->FindFilterByName(absent)) << absent;
  EXPECT_EQ(frame->m_clipIndex, 1) << "consumed by the build";

  const int delivered = Record(45);
  const ProbedClip ff = ProbeWithFfprobe(Clip("Clip0000.AVI"));
  const ProbedClip gst = ProbeWithGStreamer(Clip("Clip0000.AVI"));
  ExpectSameVideoInBothReaders(ff, gst);
  ASSERT_EQ(ff.streams.size(), 2u);
  EXPECT_EQ(ff.streams[0].type, "video");
  EXPECT_EQ(ff.streams[1].type, "audio");
  EXPECT_EQ(ff.streams[1].codec, "pcm_s16le");
  EXPECT_GE(ff.streams[0].frames, delivered);
  EXPECT_NEAR(ff.streams[1].start, 0.0, kStartSlack);
  ASSERT_TRUE(gst.Find("audio"));
  EXPECT_NEAR(gst.Find("audio")->start, 0.0, kStartSlack);
  // Sound and picture end together: within a frame and one buffer of sound.
  EXPECT_NEAR(ff.streams[1].end, ff.streams[0].end, kEndSlack);
  EXPECT_NEAR(gst.Find("audio")->end, gst.Find("video")->end, kEndSlack);
}

TEST_F(RecordingTest, ClipNumbersAreTakenAtBuildTimePassOverFilesThereAndGrowToFiveDigits) {
  Open(CameraIn("YUY2", 320, 240, 30), {});
  Record(3);
  Record(3);
  EXPECT_TRUE(std::filesystem::exists(Clip("Clip0000.AVI")));
  EXPECT_TRUE(std::filesystem::exists(Clip("Clip0001.AVI")));
  EXPECT_EQ(frame->m_clipIndex, 2);

  // A file already there keeps its content; the clip takes the next free number.
  { std::ofstream(Clip("Clip0002.AVI")) << "keep me"; }
  Record(3);
  EXPECT_EQ(frame->m_clipIndex, 4);
  std::ifstream kept(Clip("Clip0002.AVI"));
  std::string text;
  std::getline(kept, text);
  EXPECT_EQ(text, "keep me");
  EXPECT_TRUE(ProbeWithFfprobe(Clip("Clip0003.AVI")).ok);

  frame->m_clipIndex = 10000;
  frame->m_recordFormat = 1;
  Record(3);
  EXPECT_TRUE(ProbeWithFfprobe(Clip("Clip10000.WMV")).ok);
  EXPECT_EQ(frame->m_clipIndex, 10001);
  EXPECT_TRUE(frame->window.messages.empty());
}

TEST_F(RecordingTest, AFailedAudioConnectionSaysSoAndLeavesTheClipNumber) {
  Open(CameraIn("YUY2", 640, 480, 30));
  frame->m_recordAudio = 1;
  frame->m_clipIndex = 7;
  // The microphone's output is taken by something else.
  std::shared_ptr<media::Filter> other;
  ASSERT_TRUE(AddFilterByClsid(frame->Media(), frame->m_pGraph.get(), media::clsid::kNullRenderer,
                               "Elsewhere", other));
  ASSERT_TRUE(
      ConnectFilters(frame->m_pGraph.get(), frame->m_audioDevices[0].get(), 0, other.get(), 0));
  EXPECT_FALSE(frame->BuildGraph());
  ASSERT_EQ(frame->window.messages.size(), 1u);
  EXPECT_EQ(frame->window.messages[0].text, "Connect audio capture  to avi Mux Error");
  EXPECT_EQ(frame->window.messages[0].caption, "Error");
  EXPECT_EQ(frame->window.messages[0].icon, platform::MessageIcon::Error);
  EXPECT_EQ(frame->m_clipIndex, 7);
  EXPECT_EQ(frame->m_graphBuilt, 0);
  EXPECT_FALSE(std::filesystem::exists(Clip("Clip0007.AVI")));
}

TEST_F(RecordingTest, WmvWithSoundTakesTheSoundOnInputZeroAndKeepsBothStreamsInProfileOrder) {
  Open(CameraIn("YUY2", 640, 480, 30));
  frame->m_recordAudio = 1;
  frame->m_recordFormat = 1;
  ASSERT_TRUE(frame->BuildGraph());
  ASSERT_TRUE(frame->m_pFileWriter);
  EXPECT_EQ(frame->m_pFileWriter->Name(), "WMV FileWriter");
  EXPECT_EQ(PeerOf(*frame->m_pFileWriter, media::PinDirection::Input, 0), "Audio Capture device");
  EXPECT_EQ(PeerOf(*frame->m_pFileWriter, media::PinDirection::Input, 1), "Grabber");
  const media::AsfProfile profile = frame->m_pFileWriter->GetAsfWriterConfig()->CurrentProfile();
  EXPECT_TRUE(profile.hasAudio);
  EXPECT_EQ(profile.videoWidth, 640);
  EXPECT_EQ(profile.videoHeight, 480);
  EXPECT_EQ(profile.videoSizeImage, 614400u);
  EXPECT_EQ(profile.videoQuality, 50);

  const int delivered = Record(45);
  const ProbedClip ff = ProbeWithFfprobe(Clip("Clip0000.WMV"));
  const ProbedClip gst = ProbeWithGStreamer(Clip("Clip0000.WMV"));
  ExpectSameVideoInBothReaders(ff, gst);
  ASSERT_EQ(ff.streams.size(), 2u);
  EXPECT_EQ(ff.streams[0].codec, "wmav2");
  EXPECT_EQ(ff.streams[1].codec, "wmv2");
  EXPECT_EQ(ff.streams[1].frames, delivered) << "every frame the camera delivered, no more";
  EXPECT_NEAR(ff.streams[0].start, 0.0, kStartSlack);
  EXPECT_NEAR(ff.streams[0].end, ff.streams[1].end, kEndSlack);
  ASSERT_TRUE(gst.Find("audio"));
  EXPECT_NEAR(gst.Find("audio")->end, gst.Find("video")->end, kEndSlack);
  EXPECT_TRUE(frame->window.messages.empty());
  // The header gives the frame rate, and every packet comes after the one before.
  EXPECT_NEAR(DiscoveredFrameRate(Clip("Clip0000.WMV")), 30.0, 0.01);
  EXPECT_EQ(TimestampComplaints(Clip("Clip0000.WMV")), 0);
}

TEST_F(RecordingTest, WmvWithoutSoundHasOnlyTheVideoStreamOnInputZero) {
  Open(CameraIn("MJPG", 1280, 720, 30));
  frame->m_recordAudio = 0;
  frame->m_recordFormat = 1;
  ASSERT_TRUE(frame->BuildGraph());
  EXPECT_FALSE(frame->m_pFileWriter->GetAsfWriterConfig()->CurrentProfile().hasAudio);
  // The preview's decompressor took the plain name.
  EXPECT_EQ(PeerOf(*frame->m_pFileWriter, media::PinDirection::Input, 0),
            "MJPEG Decompressor 0001");
  EXPECT_EQ(PeerOf(*frame->m_pFileWriter, media::PinDirection::Input, 1), "<no such pin>");
  const int delivered = Record(30);
  const ProbedClip ff = ProbeWithFfprobe(Clip("Clip0000.WMV"));
  ExpectSameVideoInBothReaders(ff, ProbeWithGStreamer(Clip("Clip0000.WMV")));
  ASSERT_EQ(ff.streams.size(), 1u);
  EXPECT_EQ(ff.streams[0].codec, "wmv2");
  EXPECT_EQ(ff.streams[0].frames, delivered);
  EXPECT_NEAR(DiscoveredFrameRate(Clip("Clip0000.WMV")), 30.0, 0.01);
}

TEST_F(RecordingTest, FormatsNoRecordingTakesBuildNothing) {
  Open(CameraIn("YUY2", 640, 480, 30));
  frame->m_videoSubtype = 0;  // a format the program does not know
  EXPECT_FALSE(frame->BuildGraph());
  frame->m_videoSubtype = 3;
  frame->m_recordFormat = 2;  // a clip format from a hand-edited settings file
  EXPECT_FALSE(frame->BuildGraph());
  EXPECT_EQ(frame->m_graphBuilt, 0);
  EXPECT_EQ(frame->m_clipIndex, 0);
  EXPECT_FALSE(frame->m_pSmartTee);
  EXPECT_EQ(frame->m_pGraph->Filters().size(), 2u) << "the two devices only";
}

TEST_F(RecordingTest, AMicrophoneThatFailsToStartFailsTheRun) {
  virtualcam::MicrophoneSpec mic;
  mic.failsToStart = true;
  Open(CameraIn("YUY2", 640, 480, 30), {mic});
  frame->m_recordAudio = 1;
  ASSERT_TRUE(frame->BuildGraph());
  EXPECT_FALSE(RunGraph(frame->m_pGraph.get(), frame->Sys()));
  StopGraph(frame->m_pGraph.get(), frame->Sys());
  frame->TearDownGraph();
}

TEST_F(RecordingTest, ACameraUnpluggedDuringARecordingLeavesAClipWithItsFramesAndSaysSo) {
  virtualcam::CameraSpec camera = CameraIn("YUY2", 640, 480, 30);
  camera.unplugAfterFrames = 15;
  Open(camera);
  frame->m_recordAudio = 1;
  ASSERT_TRUE(frame->BuildGraph());
  ASSERT_TRUE(RunGraph(frame->m_pGraph.get(), frame->Sys()));
  media::GraphEvent event;
  bool lost = false;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!lost && std::chrono::steady_clock::now() < end) {
    while (frame->m_pGraph->NextEvent(event))
      if (event.kind == media::GraphEvent::Kind::DeviceLost) lost = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(lost);
  StopGraph(frame->m_pGraph.get(), frame->Sys());
  frame->TearDownGraph();
  const ProbedClip ff = ProbeWithFfprobe(Clip("Clip0000.AVI"));
  ASSERT_TRUE(ff.ok) << ff.error;
  ASSERT_TRUE(ff.Find("video"));
  EXPECT_GE(ff.Find("video")->frames, 15);
}

}  // namespace
