// The application object: its start-up on a fake window and the About box it shows.
#include "app/pelquin_app.h"

#include <gtest/gtest.h>

#include "i18n/lang_text_table.h"
#include "platform/fakes/fake_system.h"
#include "platform/fakes/fake_window.h"
#include "res/dialog_templates.h"
#include "temp_dir.h"

namespace {

class FakeWindowFactory : public platform::WindowFactory {
 public:
  std::unique_ptr<platform::Window> CreateFrameWindow(const platform::WindowCreateParams&,
                                                      platform::WindowEvents&) override {
    auto w = std::make_unique<platform::FakeWindow>();
    made = w.get();
    return w;
  }
  platform::FakeWindow* made = nullptr;
};

TEST(PelquinAppTest, TheAboutBoxShowsInTheFrameLanguageWithoutAParent) {
  TempDir dir;
  std::filesystem::create_directories(dir / "bin");
  platform::FakeSystem system;
  system.modulePath = dir / "bin/ostrel";
  system.documents = dir.path();
  system.locale = "fr_FR.UTF-8";
  FakeWindowFactory windows;
  CPelquinApp app(system, nullptr, windows);
  ASSERT_EQ(app.InitInstance(), 1);
  ASSERT_EQ(app.MainFrame()->m_languageIndex, 2);

  windows.made->dialogScript = {platform::DialogAction::Enter()};
  app.OnAppAbout();
  ASSERT_EQ(windows.made->dialogRuns.size(), 1u);
  const platform::DialogRun& run = windows.made->dialogRuns[0];
  EXPECT_EQ(run.resourceId, dialog_id::kAboutBox);
  EXPECT_EQ(run.owner, platform::DialogOwner::None);
  EXPECT_EQ(run.caption, "Au sujet de Ostrel");
  EXPECT_EQ(run.shownTexts.at(dialog_id::kOk), "Confirmation");
  EXPECT_EQ(run.result, platform::kDialogOk);
}

}  // namespace
