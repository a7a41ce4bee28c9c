// A press of the camera's own button reaches the still pin of a running preview, one
// frame per press, through the device filter's watcher.
#include <gtest/gtest.h>

#include <atomic>

#include "capture/graph_utils.h"
#include "platform/gst/device_filter.h"
#include "plugins/transfer/transfer_register.h"
#include "preview_support.h"
#include "tests/unit/platform_linux/camera_tree.h"

namespace {

using ostrel::button_test::CameraTree;
using ostrel::button_test::EventWriter;

TEST(CameraButtonTest, APressFiresTheStillPinOnceAndOtherEventsDoNot) {
  transfer::RegisterStatic();
  g_stillMediaType = media::MediaType{};
  UseCamera(virtualcam::CameraSpec{});
  PreviewCaptureFrame frame;
  StillFrames stills;
  frame.m_pStillCallback = &stills;
  frame.Open();
  ASSERT_TRUE(frame.BuildGraph());
  ASSERT_TRUE(RunGraph(frame.m_pGraph.get(), frame.system));
  ASSERT_TRUE(WaitFor([&] { return frame.window.surface.Frames() >= 3; }));

  auto* device = dynamic_cast<media::gst::GstDeviceFilter*>(frame.m_videoDevices[0].get());
  ASSERT_NE(device, nullptr);
  TriggerCounter triggers;
  ASSERT_TRUE(triggers.Hooked());
  CameraTree tree;
  const std::string event = tree.MakeEventFifo("event5");
  device->WatchButton({event});
  EventWriter kernel(event);
  kernel.Release();
  kernel.Key(KEY_VOLUMEUP, 1);
  kernel.Press();
  ASSERT_TRUE(WaitFor([&] { return stills.frames >= 1; }, std::chrono::seconds(30)));
  EXPECT_EQ(stills.length.load(), 640L * 480 * 3);
  kernel.Release();
  kernel.Press();
  ASSERT_TRUE(WaitFor([&] { return stills.frames >= 2; }, std::chrono::seconds(30)));
  StopGraph(frame.m_pGraph.get(), frame.system);
  EXPECT_EQ(triggers.Count(), 2) << "one still trigger per press";
  EXPECT_EQ(stills.frames.load(), 2);
  frame.TearDownGraph();
}

TEST(CameraButtonTest, ThePreviewRunsWhenTheButtonCannotBeOpened) {
  transfer::RegisterStatic();
  g_stillMediaType = media::MediaType{};
  UseCamera(virtualcam::CameraSpec{});
  PreviewCaptureFrame frame;
  frame.Open();
  auto* device = dynamic_cast<media::gst::GstDeviceFilter*>(frame.m_videoDevices[0].get());
  ASSERT_NE(device, nullptr);
  device->WatchButton({"/nonexistent/input/event5"});
  ASSERT_TRUE(frame.BuildGraph());
  ASSERT_TRUE(RunGraph(frame.m_pGraph.get(), frame.system));
  EXPECT_TRUE(WaitFor([&] { return frame.window.surface.Frames() >= 3; }));
  EXPECT_TRUE(frame.window.messages.empty());
  StopGraph(frame.m_pGraph.get(), frame.system);
  frame.TearDownGraph();
}

}  // namespace
