// The graph layer and the graph utilities on real GStreamer with the virtual devices.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "capture/graph_utils.h"
#include "capture_test_support.h"
#include "platform/gst/stock_filters.h"

namespace {

namespace fs = std::filesystem;

std::shared_ptr<media::Filter> Add(TestCaptureFrame& frame, const char* clsid, const char* name) {
  std::shared_ptr<media::Filter> filter;
  EXPECT_TRUE(AddFilterByClsid(frame.Media(), frame.m_pGraph.get(), clsid, name, filter));
  return filter;
}

void Open(TestCaptureFrame& frame, bool audio = false) {
  ASSERT_TRUE(frame.EnumerateVideoDevices());
  frame.m_selectedVideoDevice = 0;
  if (audio) {
    ASSERT_TRUE(frame.EnumerateAudioDevices());
    frame.m_selectedAudioDevice = 0;
  }
  ASSERT_TRUE(frame.CreateGraph());
}

std::string RunCommand(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    if (pclose(p) != 0) out += "\nEXIT-FAILED";
  }
  return out;
}

struct StillCounter : media::SampleGrabberCallback {
  std::atomic<int> frames{0};
  std::atomic<long> bytes{0};
  media::Status BufferCB(double, const uint8_t*, long length) override {
    bytes = length;
    ++frames;
    return media::kOk;
  }
};

TEST(CaptureGraph, RemoveDownstreamLeavesOnlyTheCaptureFilter) {
  UseDevices({Camera("Cam")});
  TestCaptureFrame frame;
  Open(frame);
  media::Filter* device = frame.m_videoDevices[0].get();
  auto tee = Add(frame, media::clsid::kSmartTee, "Start tee");
  auto render = Add(frame, media::clsid::kVideoRenderer, "Render");
  auto grabber = Add(frame, media::clsid::kSampleGrabber, "Grabber");
  auto null = Add(frame, media::clsid::kNullRenderer, "NullRender");
  media::MediaType rgb;
  rgb.major = media::MajorType::Video;
  rgb.subtype = media::Subtype::RGB24;
  grabber->GetSampleGrabber()->SetMediaType(rgb);
  ASSERT_TRUE(ConnectFilters(frame.m_pGraph.get(), device, 0, tee.get(), 0));
  ASSERT_TRUE(ConnectFilters(frame.m_pGraph.get(), tee.get(), 1, render.get(), 0));
  ASSERT_TRUE(ConnectFilters(frame.m_pGraph.get(), tee.get(), 0, grabber.get(), 0));
  ASSERT_TRUE(ConnectFilters(frame.m_pGraph.get(), grabber.get(), 0, null.get(), 0));
  // YUY2 does not meet RGB24: a converter sits before the grabber.
  EXPECT_TRUE(frame.m_pGraph->FindFilterByName("Color Space Converter"));
  // A pin already connected at the asked place yields nothing.
  std::shared_ptr<media::Pin> pin;
  EXPECT_EQ(GetUnconnectedPin(*tee, media::PinDirection::Output, 0, pin), media::kFail);

  RemoveDownstream(frame.m_pGraph.get(), device);
  auto left = frame.m_pGraph->Filters();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].get(), device);
  std::vector<std::shared_ptr<media::Pin>> pins;
  device->EnumPins(pins);
  for (const auto& p : pins) EXPECT_FALSE(p->ConnectedTo());
  RemoveDownstream(frame.m_pGraph.get(), device);  // nothing more to remove
  EXPECT_EQ(frame.m_pGraph->Filters().size(), 1u);
}

TEST(CaptureGraph, AviMuxGrowsAnInputReachedWithIndexOne) {
  UseDevices({Camera("Cam")}, 1);
  TestCaptureFrame frame;
  Open(frame, true);
  auto mux = Add(frame, media::clsid::kAviMux, "AVI Mux");
  ASSERT_TRUE(ConnectFilters(frame.m_pGraph.get(), frame.m_videoDevices[0].get(), 0, mux.get(), 0));
  ASSERT_TRUE(ConnectFilters(frame.m_pGraph.get(), frame.m_audioDevices[0].get(), 0, mux.get(), 1));
  std::shared_ptr<media::Pin> pin;
  EXPECT_EQ(GetUnconnectedPin(*mux, media::PinDirection::Input, 0, pin), media::kFail);
  EXPECT_EQ(GetUnconnectedPin(*mux, media::PinDirection::Input, 2, pin), media::kOk);
}

TEST(CaptureGraph, StoppedAviRecordingIsAFileFfprobeReads) {
  UseDevices({Camera("Cam")}, 1);
  TestCaptureFrame frame;
  Open(frame, true);
  const fs::path dir = fs::temp_directory_path() / ("ostrel-avi-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string file = (dir / "Clip0000.AVI").string();
  // Clips of 4 MB: a writer that nobody tells how to name the next clip passes over the
  // user's file.
  frame.Factory().RegisterFilter(media::clsid::kAviMux,
                                 [] { return media::gst::MakeAviMux(4u << 20); });
  std::ofstream(dir / "Clip0000-1.AVI") << "the user's own";
  auto tee = Add(frame, media::clsid::kSmartTee, "Start tee");
  auto render = Add(frame, media::clsid::kVideoRenderer, "Render");
  auto mux = Add(frame, media::clsid::kAviMux, "AVI Mux");
  auto writer = Add(frame, media::clsid::kFileWriter, "FileWriter");
  media::Graph* g = frame.m_pGraph.get();
  ASSERT_TRUE(ConnectFilters(g, frame.m_videoDevices[0].get(), 0, tee.get(), 0));
  ASSERT_TRUE(ConnectFilters(g, tee.get(), 1, render.get(), 0));
  ASSERT_TRUE(ConnectFilters(g, tee.get(), 0, mux.get(), 0));
  ASSERT_TRUE(ConnectFilters(g, frame.m_audioDevices[0].get(), 0, mux.get(), 1));
  ASSERT_TRUE(SetSinkFileName(writer.get(), file));
  ASSERT_TRUE(ConnectFilters(g, mux.get(), 0, writer.get(), 0));
  ASSERT_TRUE(RunGraph(g, frame.Sys()));
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  // The stop may wait while the last frames are written (a loaded machine), but it never
  // fails and retries.
  media::Status stopped = media::kStateIntermediate;
  while ((stopped = g->GetMediaControl()->StopWhenReady()) == media::kStateIntermediate)
    std::this_thread::sleep_for(std::chrono::milliseconds(kStopDrainPollMs));
  EXPECT_TRUE(media::Succeeded(stopped));
  const std::string probe = RunCommand(
      "ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames "
      "-of compact '" +
      file + "' 2>&1");
  EXPECT_EQ(probe.find("EXIT-FAILED"), std::string::npos) << probe;
  EXPECT_NE(probe.find("codec_type=video"), std::string::npos) << probe;
  EXPECT_NE(probe.find("codec_type=audio"), std::string::npos) << probe;
  std::stringstream own;
  own << std::ifstream(dir / "Clip0000-1.AVI").rdbuf();
  EXPECT_EQ(own.str(), "the user's own");
  EXPECT_GT(fs::file_size(dir / "Clip0000-2.AVI"), 0u);
  fs::remove_all(dir);
}

TEST(CaptureGraph, PreviewWithStillBranchRunsAndTriggerReachesTheCallback) {
  auto cam = Camera("Mjpg");
  cam.formats = {{"MJPG", 640, 480, 30}};
  UseDevices({cam});
  TestCaptureFrame frame;
  Open(frame);
  media::Graph* g = frame.m_pGraph.get();
  media::Filter* device = frame.m_videoDevices[0].get();
  media::MediaType rgb;
  rgb.major = media::MajorType::Video;
  rgb.subtype = media::Subtype::RGB24;
  auto tee = Add(frame, media::clsid::kSmartTee, "Start tee");
  auto grabber = Add(frame, media::clsid::kSampleGrabber, "Grabber");
  grabber->GetSampleGrabber()->SetMediaType(rgb);
  auto render = Add(frame, media::clsid::kVideoRenderer, "Render");
  ASSERT_TRUE(ConnectFilters(g, device, 0, tee.get(), 0));
  ASSERT_TRUE(ConnectFilters(g, tee.get(), 1, grabber.get(), 0));
  ASSERT_TRUE(ConnectFilters(g, grabber.get(), 0, render.get(), 0));
  EXPECT_TRUE(g->FindFilterByName("MJPEG Decompressor"));

  auto still = Add(frame, media::clsid::kSampleGrabber, "SampleGrab");
  auto null = Add(frame, media::clsid::kNullRenderer, "NullRender");
  StillCounter counter;
  auto sg = still->GetSampleGrabber();
  sg->SetBufferSamples(true);
  sg->SetCallback(&counter, 1);
  sg->SetMediaType(rgb);
  ASSERT_EQ(frame.m_pBuilder->RenderStream(media::PinCategory::Still, media::MajorType::Video,
                                           *device, still.get(), null.get()),
            media::kOk);
  media::MediaType connected;
  ASSERT_EQ(sg->GetConnectedMediaType(connected), media::kOk);
  EXPECT_EQ(connected.subtype, media::Subtype::RGB24);
  EXPECT_EQ(connected.width, 640);
  EXPECT_EQ(connected.height, 480);
  EXPECT_EQ(connected.formatSize, media::kVideoInfoSize);

  ASSERT_TRUE(RunGraph(g, frame.Sys()));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  TriggerStillPin(frame.m_pBuilder.get(), device);
  for (int i = 0; i < 40 && counter.frames == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(counter.frames, 1);
  EXPECT_EQ(counter.bytes, 640 * 480 * 3);

  // The preview grabber keeps a frame only while asked to.
  auto pg = grabber->GetSampleGrabber();
  long size = 0;
  EXPECT_NE(pg->GetCurrentBuffer(size, nullptr), media::kOk);
  pg->SetBufferSamples(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(pg->GetCurrentBuffer(size, nullptr), media::kOk);
  EXPECT_EQ(size, 640 * 480 * 3);

  std::shared_ptr<media::FrameCounters> counters;
  ASSERT_EQ(frame.m_pBuilder->FindFrameCounters(media::PinCategory::Capture,
                                                media::MajorType::Video, *device, counters),
            media::kOk);
  int32_t delivered = 0;
  counters->GetNumNotDropped(delivered);
  EXPECT_GT(delivered, 5);
  ASSERT_TRUE(StopGraph(g, frame.Sys()));
}

TEST(CaptureGraph, CameraThatFailsToStartFailsTheRunWithoutThePause) {
  auto cam = Camera("Broken");
  cam.failsToStart = true;
  UseDevices({cam});
  TestCaptureFrame frame;
  Open(frame);
  auto null = Add(frame, media::clsid::kNullRenderer, "NullRender");
  ASSERT_TRUE(
      ConnectFilters(frame.m_pGraph.get(), frame.m_videoDevices[0].get(), 0, null.get(), 0));
  EXPECT_FALSE(RunGraph(frame.m_pGraph.get(), frame.Sys()));
  EXPECT_EQ(frame.system.slept, 0u);
  media::GraphEvent event;
  EXPECT_TRUE(frame.m_pGraph->NextEvent(event));
  EXPECT_TRUE(StopGraph(frame.m_pGraph.get(), frame.Sys()));
}

}  // namespace
