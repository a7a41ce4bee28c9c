// A capture frame on the real media layer with one virtual camera and its microphones,
// recording into a temporary capture folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "capture/graph_utils.h"
#include "capture_test_support.h"
#include "clip_probe.h"

class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ostrel-recording-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    frame.reset();
    std::filesystem::remove_all(dir);
  }

  // The camera's first format is its current one; its own rate is the rate asked for.
  void Open(const virtualcam::CameraSpec& camera,
            std::vector<virtualcam::MicrophoneSpec> microphones = {{}}) {
    virtualcam::Configure({camera}, std::move(microphones));
    frame = std::make_unique<TestCaptureFrame>();
    ASSERT_TRUE(frame->EnumerateVideoDevices());
    frame->m_selectedVideoDevice = 0;
    frame->EnumerateAudioDevices();
    frame->m_selectedAudioDevice = frame->m_audioDeviceCount > 0 ? 0 : -1;
    ASSERT_TRUE(frame->CreateGraph());
    frame->m_captureFolder = dir;
    frame->m_captureMode = 1;
    frame->m_frameRate = camera.formats.front().fps;
  }

  int Delivered() {
    std::shared_ptr<media::FrameCounters> counters;
    const int camera = std::max(frame->m_selectedVideoDevice, 0);
    frame->m_pBuilder->FindFrameCounters(media::PinCategory::Capture, media::MajorType::Video,
                                         *frame->m_videoDevices[camera], counters);
    int32_t n = -1;
    if (counters) counters->GetNumNotDropped(n);
    return n;
  }

  // Builds (unless built) and runs the recording graph until the camera has delivered this many
  // frames, then stops and tears it down as the Stop command does. Returns the frames delivered.
  // whileRunning, when given, runs once the graph runs.
  int Record(int frames, const std::function<void()>& whileRunning = {}) {
    const int before = Delivered();
    EXPECT_TRUE(frame->BuildGraph());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunGraph(frame->m_pGraph.get(), frame->Sys()));
    if (whileRunning) whileRunning();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Delivered() - before < frames && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    recordedSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    StopGraph(frame->m_pGraph.get(), frame->Sys());
    const int delivered = Delivered() - before;
    frame->TearDownGraph();
    EXPECT_GE(delivered, frames) << "the camera stalled";
    return delivered;
  }

  std::string Clip(const char* name) const { return dir + "/" + name; }

  // Reads a clip with sound back with ffprobe and checks what every such clip is: its
  // picture starts at 0 and ends within the last Record's time, its sound ends with the
  // picture. A fatal failure when either stream is missing.
  void ExpectWholeClip(const std::string& path, ProbedClip& ff) {
    ff = ProbeWithFfprobe(path);
    ASSERT_TRUE(ff.ok) << ff.error;
    const ProbedStream* video = ff.Find("video");
    const ProbedStream* audio = ff.Find("audio");
    ASSERT_TRUE(video && audio);
    EXPECT_LT(video->start, 0.5);
    EXPECT_LT(video->end, recordedSeconds + 0.5);
    EXPECT_NEAR(audio->end, video->end, 0.3);
  }

  std::string dir;
  std::unique_ptr<TestCaptureFrame> frame;
  double recordedSeconds = 0;  // the last Record's, from its start to its stop
};

// The name of the filter on the other side of a filter's pin; empty when unconnected.
inline std::string PeerOf(media::Filter& filter, media::PinDirection direction, int index) {
  std::vector<std::shared_ptr<media::Pin>> pins;
  filter.EnumPins(pins);
  for (const auto& pin : pins) {
    if (pin->Direction() != direction || index-- != 0) continue;
    std::shared_ptr<media::Pin> peer = pin->ConnectedTo();
    std::shared_ptr<media::Filter> owner = peer ? peer->Owner() : nullptr;
    return owner ? owner->Name() : "";
  }
  return "<no such pin>";
}

inline virtualcam::CameraSpec CameraIn(const std::string& fourcc, int width, int height, int fps) {
  virtualcam::CameraSpec spec;
  spec.formats = {{fourcc, width, height, fps}};
  return spec;
}
