// The first activation's preview and the close that ends it, on the real media layer.
#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "i18n/language.h"
#include "plugins/transfer/transfer_register.h"

#include <thread>

namespace {

class PreviewRunTest : public PreviewFrameTest {
 protected:
  void SetUp() override {
    PreviewFrameTest::SetUp();
    transfer::RegisterStatic();
  }
};

TEST_F(PreviewRunTest, FirstActivationRunsThePreviewInTheWindowAboveTheStatusBar) {
  UseCamera(virtualcam::CameraSpec{});
  Start();
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(frame->m_graphBuilt, 1);
  EXPECT_EQ(frame->m_graphRunning, 1);
  EXPECT_EQ(window.timers.at(1), 100);
  EXPECT_TRUE(WaitFor([&] { return window.surface.Frames() >= 3; }));
  // The fit to the camera's format comes first; the video window's first sizing wins.
  ASSERT_FALSE(window.resizes.empty());
  EXPECT_EQ(window.resizes.back().first, 640);
  EXPECT_EQ(window.ClientRect().bottom - frame->m_statusBarHeight - 1, 480);

  window.window.right = window.window.left + 500;  // the user narrows the window
  frame->OnSize(0, 0);
  const platform::Rect cli = window.ClientRect();
  const int h = frame->m_statusBarHeight + 1;
  EXPECT_EQ(window.surface.placed, (platform::Rect{0, 0, cli.right, cli.bottom - h}));
  EXPECT_EQ(window.statusBarMoves.back(),
            (platform::Rect{-1, cli.bottom - h, cli.right + 1, cli.bottom + 1}));
  EXPECT_EQ(frame->m_statusPaneWidth, 500);
  frame->OnTimer(1);  // takes the graph's news without disturbing it
  EXPECT_EQ(frame->m_graphRunning, 1);
}

TEST_F(PreviewRunTest, CameraThatFailsToStartTriggersItsStillPinAndSaysSoOnce) {
  virtualcam::CameraSpec spec;
  spec.failsToStart = true;
  UseCamera(spec);
  TriggerCounter triggers;
  ASSERT_TRUE(triggers.Hooked());
  Start("de_DE.UTF-8");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, LangText(TXT_CANNOT_PREVIEW, kLangGerman));
  EXPECT_EQ(window.messages[0].caption, "") << "the application title";
  EXPECT_EQ(window.messages[0].icon, platform::MessageIcon::Error);
  EXPECT_EQ(triggers.Count(), 1);
  EXPECT_EQ(frame->m_graphRunning, 0);
  EXPECT_EQ(frame->m_graphBuilt, 1) << "built, stopped";
  EXPECT_EQ(window.timers.at(1), 100);
  frame->OnClose();
  EXPECT_NE(Settings().find("WantPreview=0"), std::string::npos);
}

TEST_F(PreviewRunTest, CloseDuringThePreviewStopsTearsDownReleasesAndSaves) {
  UseCamera(virtualcam::CameraSpec{});
  Start();
  ASSERT_EQ(frame->m_graphRunning, 1);
  ASSERT_TRUE(WaitFor([&] { return window.surface.Frames() >= 1; }));
  std::weak_ptr<media::Graph> graph = frame->m_pGraph;
  std::weak_ptr<media::Filter> renderer = frame->m_pVideoRenderer;

  frame->OnClose();
  EXPECT_EQ(frame->m_graphRunning, 0);
  EXPECT_EQ(frame->m_graphBuilt, 0);
  EXPECT_FALSE(frame->m_pVideoRenderer || frame->m_pSmartTee || frame->m_pTransferFilter);
  EXPECT_EQ(frame->m_videoDevices[0], nullptr);
  EXPECT_TRUE(graph.expired());
  EXPECT_TRUE(renderer.expired());
  EXPECT_FALSE(window.surface.visible);
  const int frames = window.surface.Frames();
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(window.surface.Frames(), frames) << "nothing streams after close";
  EXPECT_NE(Settings().find("WantPreview=1"), std::string::npos);
  EXPECT_EQ(window.timers.count(1), 0u);
  EXPECT_TRUE(window.messages.empty());
}

}  // namespace
