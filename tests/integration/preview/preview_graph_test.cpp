// The preview graph on real GStreamer with the virtual camera and the transfer plugin:
// its filters and connections, the still branch, the video window, running and teardown.
#include <gtest/gtest.h>

#include <atomic>

#include "capture/graph_utils.h"
#include "plugins/transfer/transfer_register.h"
#include "preview_support.h"

namespace {

using media::PinDirection;

class PreviewGraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    transfer::RegisterStatic();
    g_stillMediaType = media::MediaType{};
  }

  std::shared_ptr<media::Pin> StillPin(PreviewCaptureFrame& frame) {
    std::shared_ptr<media::Pin> pin;
    frame.m_pBuilder->FindPin(*frame.m_videoDevices[0], PinDirection::Output,
                              media::PinCategory::Still, media::MajorType::Any, false, 0, pin);
    return pin;
  }

  static std::vector<std::string> FilterNames(media::Graph& graph) {
    std::vector<std::string> names;
    for (const auto& f : graph.Filters()) names.push_back(f->Name());
    return names;
  }
};

TEST_F(PreviewGraphTest, BuildsTheNamedFiltersConnectedInOrderAndAttachesTheVideoWindow) {
  UseCamera(virtualcam::CameraSpec{});
  PreviewCaptureFrame frame;
  StillFrames stills;
  frame.m_pStillCallback = &stills;
  frame.Open();
  ASSERT_TRUE(frame.BuildGraph());
  EXPECT_TRUE(frame.window.messages.empty());
  EXPECT_EQ(frame.m_graphBuilt, 1);
  EXPECT_EQ(frame.window.waitCursorDepth, 0);

  media::Graph& graph = *frame.m_pGraph;
  media::Filter& device = *frame.m_videoDevices[0];
  for (const char* name :
       {"Start tee", "Grabber", "Video DynamicInterpolation", "Render", "SampleGrab", "NullRender"})
    EXPECT_TRUE(graph.FindFilterByName(name)) << name;
  EXPECT_EQ(frame.m_pSmartTee, graph.FindFilterByName("Start tee"));
  EXPECT_EQ(frame.m_pPreviewGrabber, graph.FindFilterByName("Grabber"));
  EXPECT_EQ(frame.m_pTransferFilter, graph.FindFilterByName("Video DynamicInterpolation"));
  EXPECT_EQ(frame.m_pVideoRenderer, graph.FindFilterByName("Render"));
  EXPECT_EQ(frame.m_pStillGrabber, graph.FindFilterByName("SampleGrab"));
  EXPECT_EQ(frame.m_pNullRenderer, graph.FindFilterByName("NullRender"));

  EXPECT_EQ(PeerOf(device, PinDirection::Output, 0), "Start tee");
  EXPECT_EQ(PeerOf(*frame.m_pSmartTee, PinDirection::Output, 0), "") << "capture output unused";
  // YUY2 reaches the RGB24 grabber through a colour converter.
  EXPECT_EQ(PeerOf(*frame.m_pSmartTee, PinDirection::Output, 1), "Color Space Converter");
  EXPECT_EQ(PeerOf(*frame.m_pPreviewGrabber, PinDirection::Input, 0), "Color Space Converter");
  EXPECT_EQ(PeerOf(*frame.m_pPreviewGrabber, PinDirection::Output, 0),
            "Video DynamicInterpolation");
  EXPECT_EQ(PeerOf(*frame.m_pTransferFilter, PinDirection::Output, 0), "Render");
  std::shared_ptr<media::Pin> still = StillPin(frame);
  ASSERT_TRUE(still);
  EXPECT_FALSE(PeerFilterName(*still).empty());
  EXPECT_FALSE(PeerOf(*frame.m_pStillGrabber, PinDirection::Input, 0).empty());
  EXPECT_EQ(PeerOf(*frame.m_pStillGrabber, PinDirection::Output, 0), "NullRender");

  // The still grabber's connection, as the still callback will read it.
  EXPECT_EQ(g_stillMediaType.major, media::MajorType::Video);
  EXPECT_EQ(g_stillMediaType.subtype, media::Subtype::RGB24);
  EXPECT_EQ(g_stillMediaType.formatType, media::FormatType::VideoInfo);
  EXPECT_EQ(g_stillMediaType.width, 640);
  EXPECT_EQ(g_stillMediaType.height, 480);

  // The video window fills the client area above the status bar; the first attachment
  // gives that area 640 x 480 (the fake window's menu bar is 20 pixels high).
  const int statusHeight = frame.m_statusBarHeight + 1;
  ASSERT_EQ(frame.window.resizes.size(), 1u);
  EXPECT_EQ(frame.window.resizes[0], std::make_pair(640, 480 + statusHeight + 20));
  EXPECT_EQ(frame.m_firstVideoWindowSizing, 0);
  EXPECT_TRUE(frame.window.surface.visible);
  EXPECT_EQ(frame.window.surface.placed.left, 0);
  EXPECT_EQ(frame.window.surface.placed.top, 0);

  // Running: frames reach the window at the transfer filter's default size, which is
  // the input's, and a still trigger reaches the callback as a bottom-up RGB24 frame.
  ASSERT_TRUE(RunGraph(frame.m_pGraph.get(), frame.system));
  EXPECT_TRUE(WaitFor([&] { return frame.window.surface.Frames() >= 5; }));
  EXPECT_EQ(frame.window.surface.Size(), std::make_pair(640, 480));
  int32_t w = 0, h = 0;
  EXPECT_TRUE(GetOutputPinVideoSize(frame.m_pTransferFilter.get(), w, h));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  TriggerStillPin(frame.m_pBuilder.get(), &device);
  EXPECT_TRUE(WaitFor([&] { return stills.frames >= 1; }));
  EXPECT_EQ(stills.length.load(), 640L * 480 * 3);
  StopGraph(frame.m_pGraph.get(), frame.system);

  // Teardown leaves the device filter alone and hides the window; twice changes nothing.
  ASSERT_TRUE(frame.TearDownGraph());
  EXPECT_EQ(FilterNames(graph), std::vector<std::string>{"Video Capture device"});
  EXPECT_FALSE(frame.m_pSmartTee || frame.m_pPreviewGrabber || frame.m_pTransferFilter ||
               frame.m_pVideoRenderer || frame.m_pStillGrabber || frame.m_pNullRenderer);
  EXPECT_EQ(frame.m_graphBuilt, 0);
  EXPECT_FALSE(frame.window.surface.visible);
  ASSERT_TRUE(frame.TearDownGraph());
  EXPECT_EQ(FilterNames(graph), std::vector<std::string>{"Video Capture device"});

  // A second build attaches the window again but leaves the frame's size to the user.
  ASSERT_TRUE(frame.BuildGraph());
  EXPECT_EQ(frame.window.resizes.size(), 1u);
  EXPECT_TRUE(frame.window.surface.visible);
  EXPECT_TRUE(frame.BuildGraph()) << "already built";
  frame.TearDownGraph();
}

TEST_F(PreviewGraphTest, CameraWithoutStillPinBuildsWithTheBranchUnconnected) {
  virtualcam::CameraSpec spec;
  spec.hasStillPin = false;
  UseCamera(spec);
  PreviewCaptureFrame frame;
  frame.Open();
  g_stillMediaType.major = media::MajorType::Video;  // left over from another camera
  ASSERT_TRUE(frame.BuildGraph());
  EXPECT_TRUE(frame.window.messages.empty());
  ASSERT_TRUE(frame.m_pStillGrabber);
  ASSERT_TRUE(frame.m_pNullRenderer);
  EXPECT_EQ(PeerOf(*frame.m_pStillGrabber, PinDirection::Input, 0), "");
  EXPECT_EQ(PeerOf(*frame.m_pNullRenderer, PinDirection::Input, 0), "");
  EXPECT_TRUE(g_stillMediaType.IsEmpty());
  // The unconnected branch does not hold up the preview.
  ASSERT_TRUE(RunGraph(frame.m_pGraph.get(), frame.system));
  EXPECT_TRUE(WaitFor([&] { return frame.window.surface.Frames() >= 3; }));
  StopGraph(frame.m_pGraph.get(), frame.system);
  frame.TearDownGraph();
}

TEST_F(PreviewGraphTest, MjpgCameraGetsADecoderBeforeTheGrabber) {
  UseCamera(CameraWith({{"MJPG", 1280, 720, 30}}));
  PreviewCaptureFrame frame;
  frame.Open();
  ASSERT_EQ(frame.m_videoSubtype, 7);
  ASSERT_TRUE(frame.BuildGraph());
  EXPECT_TRUE(frame.window.messages.empty());
  EXPECT_EQ(PeerOf(*frame.m_pPreviewGrabber, PinDirection::Input, 0), "MJPEG Decompressor");
  ASSERT_TRUE(RunGraph(frame.m_pGraph.get(), frame.system));
  EXPECT_TRUE(WaitFor([&] { return frame.window.surface.Frames() >= 3; }));
  EXPECT_EQ(frame.window.surface.Size(), std::make_pair(1280, 720));
  StopGraph(frame.m_pGraph.get(), frame.system);
  frame.TearDownGraph();
}

TEST_F(PreviewGraphTest, TransferPageChoosesTheOutputSizeThatThePinReportsAndTheWindowGets) {
  UseCamera(virtualcam::CameraSpec{});
  PreviewCaptureFrame frame;
  frame.Open();
  ASSERT_TRUE(frame.BuildGraph());
  ASSERT_TRUE(RunGraph(frame.m_pGraph.get(), frame.system));
  ASSERT_TRUE(WaitFor([&] { return frame.window.surface.Frames() >= 1; }));

  std::shared_ptr<media::PropertyPages> pages = frame.m_pTransferFilter->GetPropertyPages();
  ASSERT_TRUE(pages);
  std::vector<media::PropertyPage> list = pages->Pages();
  ASSERT_EQ(list.size(), 1u);
  ASSERT_EQ(list[0].properties.size(), 1u);
  const media::Property& size = list[0].properties[0];
  EXPECT_EQ(size.kind, media::Property::Kind::Enumeration);
  ASSERT_GE(size.choices.size(), 3u);
  EXPECT_EQ(size.choices[0], "Input size");
  EXPECT_EQ(size.choices[1], "320 x 240");
  EXPECT_EQ(size.value, 0);
  EXPECT_FALSE(pages->Apply(0, 0, static_cast<int32_t>(size.choices.size())));

  ASSERT_TRUE(pages->Apply(0, 0, 1));
  EXPECT_TRUE(WaitFor([&] { return frame.window.surface.Size() == std::make_pair(320, 240); }));
  int32_t w = 0, h = 0;
  EXPECT_TRUE(GetOutputPinVideoSize(frame.m_pTransferFilter.get(), w, h));
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  EXPECT_EQ(pages->Pages()[0].properties[0].value, 1);
  StopGraph(frame.m_pGraph.get(), frame.system);
  frame.TearDownGraph();
}

TEST_F(PreviewGraphTest, PreviewGrabberKeepsTheNewestFrameOnlyWhileBuffering) {
  UseCamera(virtualcam::CameraSpec{});
  PreviewCaptureFrame frame;
  frame.Open();
  ASSERT_TRUE(frame.BuildGraph());
  ASSERT_TRUE(RunGraph(frame.m_pGraph.get(), frame.system));
  std::shared_ptr<media::SampleGrabber> grabber = frame.m_pPreviewGrabber->GetSampleGrabber();
  long size = 0;
  EXPECT_FALSE(media::Succeeded(grabber->GetCurrentBuffer(size, nullptr))) << "buffering off";
  grabber->SetBufferSamples(true);
  EXPECT_TRUE(WaitFor([&] { return media::Succeeded(grabber->GetCurrentBuffer(size, nullptr)); }));
  EXPECT_EQ(size, 640L * 480 * 3);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  EXPECT_TRUE(media::Succeeded(grabber->GetCurrentBuffer(size, bytes.data())));
  media::MediaType connected;
  ASSERT_TRUE(media::Succeeded(grabber->GetConnectedMediaType(connected)));
  EXPECT_EQ(connected.subtype, media::Subtype::RGB24);
  EXPECT_EQ(connected.width, 640);
  grabber->SetBufferSamples(false);
  EXPECT_FALSE(media::Succeeded(grabber->GetCurrentBuffer(size, nullptr)));
  StopGraph(frame.m_pGraph.get(), frame.system);
  frame.TearDownGraph();
}

TEST_F(PreviewGraphTest, WithoutACameraTheFirstConnectionFails) {
  virtualcam::Configure({}, {});
  PreviewCaptureFrame frame;
  frame.Open();
  EXPECT_FALSE(frame.BuildGraph());
  ASSERT_EQ(frame.window.messages.size(), 2u);  // no device, then the build's own
  EXPECT_EQ(frame.window.messages[1].text, "Connect InfTee to smart tee Error");
  EXPECT_EQ(frame.window.messages[1].caption, "Error");
  EXPECT_EQ(frame.window.messages[1].icon, platform::MessageIcon::Error);
  EXPECT_EQ(frame.m_graphBuilt, 0);
  EXPECT_FALSE(frame.m_pSmartTee);
}

// An empty graph that ran would let the recording clock count over no file: a clip
// format nobody knows fails the build, and every capture format records.
TEST_F(PreviewGraphTest, RecordingWithAnUnknownClipFormatFailsAndAnMjpgCameraRecords) {
  UseCamera(virtualcam::CameraSpec{});
  PreviewCaptureFrame frame;
  frame.Open();
  frame.m_captureMode = 1;
  frame.m_recordFormat = 2;
  frame.m_frameRate = 15;
  EXPECT_FALSE(frame.BuildGraph());
  EXPECT_TRUE(frame.window.messages.empty()) << "the caller says what failed";
  EXPECT_EQ(frame.m_graphBuilt, 0);
  EXPECT_EQ(frame.m_pGraph->Filters().size(), 1u);

  frame.m_recordFormat = 0;
  frame.m_videoSubtype = 7;
  frame.m_captureFolder = "/tmp";
  EXPECT_TRUE(frame.BuildGraph());
  EXPECT_EQ(frame.m_graphBuilt, 1);
  EXPECT_TRUE(frame.m_pAviMux);
  EXPECT_TRUE(frame.window.messages.empty());
  frame.TearDownGraph();
}

}  // namespace
