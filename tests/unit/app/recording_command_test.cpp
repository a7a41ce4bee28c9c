// Command 32774 on the fake layer: the start and the stop paths, the wait, the clock
// fields and the relabelling, and the failed build that leaves the mode set.
#include <gtest/gtest.h>

#include <memory>

#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "res/menu_ids.h"

namespace {

using menu_id::kStartStopCapture;

class RecordingCommandTest : public FakeLayerFrameTest {
 protected:
  void Start(media::Subtype subtype) {
    media::fake::CameraSpec camera;
    camera.formats = {media::fake::VideoType(subtype, 640, 480, 30)};
    factory.cameras = {camera};
    factory.microphones = {"Microphone"};
    StartOnFakeLayer();
    ASSERT_EQ(frame->m_graphRunning, 1);
  }
  std::string Label() { return window.GetMenu()->TextOfCommand(kStartStopCapture); }
};

// The fake layer's AVI graph writes nothing, but the command's start and stop run their
// whole course.
TEST_F(RecordingCommandTest, StartWaitsStampsTheClockAndRelabelsAndStopReturnsToThePreview) {
  Start(media::Subtype::RGB24);
  frame->m_recordTicks = 57;
  system.wallSeconds = 1800000000;
  const uint32_t slept = system.slept;
  frame->OnCommand(kStartStopCapture);
  EXPECT_EQ(frame->m_captureMode, 1);
  EXPECT_EQ(frame->m_recording, 1);
  EXPECT_EQ(frame->m_graphRunning, 1);
  EXPECT_EQ(system.slept - slept, 300u + 200u) << "the run's settle and the start's wait";
  EXPECT_EQ(frame->m_recordTicks, 0u);
  EXPECT_EQ(frame->m_recordStartTime, 1800000000);
  EXPECT_EQ(window.waitCursorDepth, 0);
  EXPECT_EQ(Label(), LangText(TXT_STOP_CAPTURE, frame->m_languageIndex));
  EXPECT_TRUE(window.messages.empty());

  frame->m_previewOn = 0;  // the stop brings the preview back even so
  frame->m_recordTicks = 9;
  frame->OnCommand(kStartStopCapture);
  EXPECT_EQ(frame->m_captureMode, 0);
  EXPECT_EQ(frame->m_recording, 0);
  EXPECT_EQ(frame->m_graphRunning, 1);
  EXPECT_EQ(frame->m_graphBuilt, 1);
  EXPECT_EQ(frame->m_recordTicks, 0u);
  EXPECT_EQ(window.waitCursorDepth, 0);
  EXPECT_EQ(Label(), LangText(TXT_START_CAPTURE, frame->m_languageIndex));
  EXPECT_TRUE(frame->m_pGraph->FindFilterByName("Render")) << "the preview graph again";
}

TEST_F(RecordingCommandTest, TheLastClipNumberIsUsedOnceAndNeverReplacesAFile) {
  Start(media::Subtype::RGB24);
  frame->m_captureFolder = dir.path();
  frame->m_clipIndex = INT32_MAX;
  WriteFile(dir / "Clip2147483647.AVI", "the user's own");
  ::testing::internal::CaptureStderr();
  frame->OnCommand(kStartStopCapture);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("Clip2147483647.AVI"), std::string::npos);
  EXPECT_EQ(frame->m_captureMode, 0);
  EXPECT_EQ(frame->m_graphRunning, 1) << "the preview goes on";
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text.rfind(LangText(TXT_RECORD_ERROR, frame->m_languageIndex), 0),
            0u);
  EXPECT_NE(window.messages[0].detail.find(dir / "Clip2147483647.AVI"), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "Clip2147483647.AVI"), "the user's own");

  std::filesystem::remove(dir / "Clip2147483647.AVI");
  frame->OnCommand(kStartStopCapture);
  EXPECT_EQ(frame->m_recording, 1);
  EXPECT_EQ(frame->m_clipIndex, INT32_MAX) << "no number after the last";
  frame->OnCommand(kStartStopCapture);
  EXPECT_EQ(frame->m_clipIndex, INT32_MAX);
}

TEST_F(RecordingCommandTest, AFailedBuildKeepsTheModeAndTheLabelAndTheNextUseStops) {
  Start(media::Subtype::YUY2);
  frame->m_recordFormat = 1;  // the fake layer has no ASF writer: the build fails
  const std::string start = Label();
  frame->OnCommand(kStartStopCapture);
  ASSERT_EQ(window.messages.size(), 2u);
  EXPECT_EQ(window.messages[0].text, "Add wmv file writer error");
  EXPECT_EQ(window.messages[1].text, LangText(TXT_CANNOT_PREVIEW, frame->m_languageIndex));
  EXPECT_EQ(window.messages[1].icon, platform::MessageIcon::Error);
  EXPECT_EQ(frame->m_captureMode, 1);
  EXPECT_EQ(frame->m_recording, 0);
  EXPECT_EQ(frame->m_graphRunning, 0) << "nothing runs";
  EXPECT_EQ(frame->m_graphBuilt, 0);
  EXPECT_EQ(Label(), start);
  EXPECT_EQ(window.waitCursorDepth, 0);
  frame->OnInitMenu();
  EXPECT_FALSE(window.GetMenu()->IsEnabled(menu_id::kSnapshot));

  window.messages.clear();
  frame->OnCommand(kStartStopCapture);  // the stop path
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(frame->m_captureMode, 0);
  EXPECT_EQ(frame->m_graphRunning, 1);
  EXPECT_EQ(Label(), start);
}

}  // namespace
