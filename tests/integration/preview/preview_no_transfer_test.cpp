// The preview where the transfer filter's plugin is not installed: this program never
// registers it, and no plugin path offers it.
#include <gst/gst.h>

#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "i18n/language.h"

namespace {

class NoTransferTest : public PreviewFrameTest {
 protected:
  void SetUp() override {
    PreviewFrameTest::SetUp();
    virtualcam::RegisterStatic();
    if (GstElementFactory* f = gst_element_factory_find("ostreltransfer")) {
      gst_object_unref(f);
      GTEST_SKIP() << "the transfer plugin is on this machine's plugin path";
    }
  }
};

TEST_F(NoTransferTest, PreviewSaysWhatIsMissingThenCannotPreviewAndLeavesOnlyTheDevices) {
  UseCamera(virtualcam::CameraSpec{});
  Start("fr_FR.UTF-8");
  ASSERT_EQ(window.messages.size(), 2u);
  EXPECT_EQ(window.messages[0].text, "Add Video Transfer error");
  EXPECT_EQ(window.messages[0].caption, "Error");
  EXPECT_EQ(window.messages[0].icon, platform::MessageIcon::Error);
  EXPECT_EQ(window.messages[1].text, LangText(TXT_CANNOT_PREVIEW, kLangFrench));
  EXPECT_EQ(window.messages[1].icon, platform::MessageIcon::Error);

  EXPECT_EQ(frame->m_graphBuilt, 0);
  EXPECT_EQ(frame->m_graphRunning, 0);
  EXPECT_FALSE(frame->m_pSmartTee || frame->m_pPreviewGrabber || frame->m_pTransferFilter);
  std::vector<std::string> names;
  for (const auto& f : frame->m_pGraph->Filters()) names.push_back(f->Name());
  EXPECT_EQ(names, std::vector<std::string>{"Video Capture device"});
  EXPECT_FALSE(window.surface.visible);
  EXPECT_EQ(window.timers.at(1), 100);
}

}  // namespace
