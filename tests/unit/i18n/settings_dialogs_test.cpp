// The three dialogs over scripted fake dialogs: texts in every language, the data
// exchange on OK, and every way out that stores nothing.
#include "i18n/settings_dialogs.h"

#include <gtest/gtest.h>

#include <string>

#include "i18n/lang_text_table.h"
#include "platform/fakes/fake_window.h"
#include "res/dialog_templates.h"

namespace {

using platform::DialogAction;
using platform::MessageIcon;
using namespace dialog_id;

const std::string kNotANumber = "请输入一个正整数。";
const std::string kRateRange = "请输入一个在 1 和 60 之间的整数。";

class FrameRateDialogTest : public ::testing::Test {
 protected:
  int Run(int lang = 0) {
    CSetFrameRateDlg dlg(window, enabled, rate, lang);
    return dlg.DoModal();
  }
  const platform::DialogRun& Last() const { return window.dialogRuns.back(); }

  platform::FakeWindow window;
  int32_t enabled = 1;
  int rate = 25;
};

TEST_F(FrameRateDialogTest, ShowsEveryTextInTheChosenLanguageAndTheFrameValues) {
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SCOPED_TRACE(lang);
    window.dialogScript = {DialogAction::Cancel()};
    Run(lang);
    const platform::DialogRun& run = Last();
    EXPECT_EQ(run.resourceId, kFrameRate);
    EXPECT_EQ(run.owner, platform::DialogOwner::Window);
    EXPECT_EQ(run.caption, LangText(TXT_FRAMERATE_CAPTION, lang));
    EXPECT_EQ(run.shownTexts.at(kFrameRateEnable), LangText(TXT_FRAMERATE_ENABLE, lang));
    EXPECT_EQ(run.shownTexts.at(kFrameRateLabel), LangText(TXT_FRAMERATE_LABEL, lang));
    EXPECT_EQ(run.shownTexts.at(kFrameRateUnit), LangText(TXT_FRAMERATE_UNIT, lang));
    EXPECT_EQ(run.shownTexts.at(kOk), LangText(TXT_OK, lang));
    EXPECT_EQ(run.shownTexts.at(kCancel), LangText(TXT_CANCEL, lang));
    EXPECT_EQ(run.shownTexts.at(kFrameRateEdit), "25");
    EXPECT_TRUE(run.shownChecks.at(kFrameRateEnable));
  }
  // Polish: English labels, Polish buttons.
  const platform::DialogRun& polish = window.dialogRuns[7];
  EXPECT_EQ(polish.caption, "Set Frame rate");
  EXPECT_EQ(polish.shownTexts.at(kFrameRateEnable), "Enable Frame Rate");
  EXPECT_EQ(polish.shownTexts.at(kOk), "konfirmacja");
  EXPECT_EQ(polish.shownTexts.at(kCancel), "anulacja");
}

TEST_F(FrameRateDialogTest, OffAndSixtyShowAnUncheckedBoxAndSixty) {
  enabled = 0;
  rate = 60;
  window.dialogScript = {DialogAction::Escape()};
  Run();
  EXPECT_FALSE(Last().shownChecks.at(kFrameRateEnable));
  EXPECT_EQ(Last().shownTexts.at(kFrameRateEdit), "60");
}

TEST_F(FrameRateDialogTest, BadInputPromptsKeepsTheDialogOpenAndStoresNothing) {
  struct Case {
    DialogAction input;
    std::string prompt;
  };
  const Case cases[] = {
      {DialogAction::Type(kFrameRateEdit, "0"), kRateRange},
      {DialogAction::Type(kFrameRateEdit, "61"), kRateRange},
      {DialogAction::Type(kFrameRateEdit, "99999999999"), kRateRange},
      {DialogAction::Type(kFrameRateEdit, ""), kNotANumber},
      {DialogAction::SetText(kFrameRateEdit, "abc"), kNotANumber},
      {DialogAction::SetText(kFrameRateEdit, "-5"), kNotANumber},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input.text);
    // The check box is cleared too: nothing of it may reach the frame either.
    window.dialogScript = {DialogAction::Toggle(kFrameRateEnable), c.input, DialogAction::Ok(),
                           DialogAction::Cancel()};
    EXPECT_EQ(Run(), kIdCancel);
    const platform::DialogRun& run = Last();
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].text, c.prompt);
    EXPECT_EQ(run.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(run.messages[0].caption, window.ApplicationTitle());
    EXPECT_EQ(run.messages[0].focusAfter, kFrameRateEdit);
    EXPECT_FALSE(run.scriptRanOut);  // still open for the Cancel after the prompt
    EXPECT_EQ(enabled, 1);
    EXPECT_EQ(rate, 25);
  }
}

TEST_F(FrameRateDialogTest, AFixedEntryIsStoredAfterAPrompt) {
  window.dialogScript = {DialogAction::Type(kFrameRateEdit, "61"), DialogAction::Enter(),
                         DialogAction::Type(kFrameRateEdit, "60"), DialogAction::Enter()};
  EXPECT_EQ(Run(), kIdOk);
  EXPECT_EQ(Last().messages.size(), 1u);
  EXPECT_EQ(rate, 60);
}

TEST_F(FrameRateDialogTest, CancelEscapeAndCloseStoreNothing) {
  for (DialogAction end : {DialogAction::Cancel(), DialogAction::Escape(), DialogAction::Close()}) {
    window.dialogScript = {DialogAction::Toggle(kFrameRateEnable),
                           DialogAction::Type(kFrameRateEdit, "10"), end};
    EXPECT_EQ(Run(), kIdCancel);
    EXPECT_EQ(enabled, 1);
    EXPECT_EQ(rate, 25);
    EXPECT_TRUE(Last().messages.empty());
  }
}

TEST_F(FrameRateDialogTest, OkWithoutChangesStoresTheSameValues) {
  window.dialogScript = {DialogAction::Ok()};
  EXPECT_EQ(Run(), kIdOk);
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ(rate, 25);
}

TEST_F(FrameRateDialogTest, UncheckingStoresZeroAndTheRate) {
  window.dialogScript = {DialogAction::Toggle(kFrameRateEnable),
                         DialogAction::Type(kFrameRateEdit, "15"), DialogAction::Ok()};
  EXPECT_EQ(Run(), kIdOk);
  EXPECT_EQ(enabled, 0);
  EXPECT_EQ(rate, 15);
}

TEST_F(FrameRateDialogTest, BothLimitsAreAccepted) {
  for (const char* text : {"1", "60", "007"}) {
    window.dialogScript = {DialogAction::Type(kFrameRateEdit, text), DialogAction::Ok()};
    EXPECT_EQ(Run(), kIdOk) << text;
    EXPECT_EQ(rate, std::stoi(text));
  }
}

TEST_F(FrameRateDialogTest, AnExhaustedScriptEndsTheDialogAsEscape) {
  window.dialogScript = {DialogAction::Type(kFrameRateEdit, "30")};
  EXPECT_EQ(Run(), kIdCancel);
  EXPECT_TRUE(Last().scriptRanOut);
  EXPECT_EQ(rate, 25);
}

TEST(FakeDialogTest, FailingDialogsReturnMinusOneAndStoreNothing) {
  platform::FakeWindow window;
  window.failDialogs = true;
  int32_t enabled = 0;
  int rate = 60;
  EXPECT_EQ(CSetFrameRateDlg(window, enabled, rate, 0).DoModal(), platform::kDialogFailed);
  EXPECT_EQ(rate, 60);
}

class TimeLimitDialogTest : public ::testing::Test {
 protected:
  int Run(int lang = 0) {
    CUseTimeLimitDlg dlg(window, enabled, seconds, lang);
    return dlg.DoModal();
  }
  const platform::DialogRun& Last() const { return window.dialogRuns.back(); }

  platform::FakeWindow window;
  int32_t enabled = 0;
  int seconds = 30;
};

TEST_F(TimeLimitDialogTest, ShowsEveryTextInTheChosenLanguageAndTheFrameValues) {
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SCOPED_TRACE(lang);
    window.dialogScript = {DialogAction::Close()};
    Run(lang);
    const platform::DialogRun& run = Last();
    EXPECT_EQ(run.resourceId, kTimeLimit);
    EXPECT_EQ(run.caption, LangText(TXT_TIMELIMIT_CAPTION, lang));
    EXPECT_EQ(run.shownTexts.at(kTimeLimitEnable), LangText(TXT_TIMELIMIT_ENABLE, lang));
    EXPECT_EQ(run.shownTexts.at(kTimeLimitLabel), LangText(TXT_TIMELIMIT_LABEL, lang));
    EXPECT_EQ(run.shownTexts.at(kTimeLimitUnit), LangText(TXT_TIMELIMIT_UNIT, lang));
    EXPECT_EQ(run.shownTexts.at(kOk), LangText(TXT_OK, lang));
    EXPECT_EQ(run.shownTexts.at(kCancel), LangText(TXT_CANCEL, lang));
    EXPECT_EQ(run.shownTexts.at(kTimeLimitEdit), "30");
    EXPECT_FALSE(run.shownChecks.at(kTimeLimitEnable));
  }
  EXPECT_EQ(window.dialogRuns[7].shownTexts.at(kTimeLimitUnit), "Seconds");
  EXPECT_EQ(window.dialogRuns[7].shownTexts.at(kOk), "konfirmacja");
  EXPECT_EQ(window.dialogRuns[7].shownTexts.at(kCancel), "anulacja");
}

TEST_F(TimeLimitDialogTest, TakesEveryWholeNumberFromZeroToTheLargestUnsigned) {
  window.dialogScript = {DialogAction::Toggle(kTimeLimitEnable),
                         DialogAction::Type(kTimeLimitEdit, "0"), DialogAction::Ok()};
  EXPECT_EQ(Run(), kIdOk);
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ(seconds, 0);

  window.dialogScript = {DialogAction::Type(kTimeLimitEdit, "2147483647"), DialogAction::Ok()};
  EXPECT_EQ(Run(), kIdOk);
  EXPECT_EQ(seconds, 2147483647);

  // Past what the frame's int holds: kept as the largest int, far beyond any recording,
  // and never -1, which the settings file would read back as "absent".
  window.dialogScript = {DialogAction::Type(kTimeLimitEdit, "4294967295"), DialogAction::Ok()};
  EXPECT_EQ(Run(), kIdOk);
  EXPECT_TRUE(Last().messages.empty());
  EXPECT_EQ(seconds, CUseTimeLimitDlg::kLargestStoredLimit);
}

TEST_F(TimeLimitDialogTest, BadInputPromptsAndStoresNothing) {
  struct Case {
    DialogAction input;
    std::string prompt;
  };
  const Case cases[] = {
      {DialogAction::Type(kTimeLimitEdit, ""), kNotANumber},
      {DialogAction::SetText(kTimeLimitEdit, "1e3"), kNotANumber},
      {DialogAction::Type(kTimeLimitEdit, "4294967296"),
       "请输入一个在 0 和 4294967295 之间的整数。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input.text);
    window.dialogScript = {DialogAction::Toggle(kTimeLimitEnable), c.input, DialogAction::Ok(),
                           DialogAction::Escape()};
    EXPECT_EQ(Run(), kIdCancel);
    ASSERT_EQ(Last().messages.size(), 1u);
    EXPECT_EQ(Last().messages[0].text, c.prompt);
    EXPECT_EQ(Last().messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(Last().messages[0].focusAfter, kTimeLimitEdit);
    EXPECT_EQ(enabled, 0);
    EXPECT_EQ(seconds, 30);
  }
}

TEST_F(TimeLimitDialogTest, CancelEscapeAndCloseStoreNothing) {
  for (DialogAction end : {DialogAction::Cancel(), DialogAction::Escape(), DialogAction::Close()}) {
    window.dialogScript = {DialogAction::Toggle(kTimeLimitEnable),
                           DialogAction::Type(kTimeLimitEdit, "5"), end};
    EXPECT_EQ(Run(), kIdCancel);
    EXPECT_EQ(enabled, 0);
    EXPECT_EQ(seconds, 30);
  }
}

TEST(AboutDialogTest, ShowsItsTextsInTheLanguageWithoutAParent) {
  platform::FakeWindow window;
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SCOPED_TRACE(lang);
    window.dialogScript = {DialogAction::Ok()};
    EXPECT_EQ(CAboutDlg(window, lang).DoModal(), kIdOk);
    const platform::DialogRun& run = window.dialogRuns.back();
    EXPECT_EQ(run.resourceId, kAboutBox);
    EXPECT_EQ(run.owner, platform::DialogOwner::None);
    EXPECT_EQ(run.caption, LangText(TXT_ABOUT_CAPTION, lang));
    EXPECT_EQ(run.shownTexts.at(kAboutVersion), LangText(TXT_ABOUT_VERSION, lang));
    EXPECT_EQ(run.shownTexts.at(kAboutCopyright), LangText(TXT_ABOUT_COPYRIGHT, lang));
    EXPECT_EQ(run.shownTexts.at(kOk), LangText(TXT_OK, lang));
  }
}

// No control of any template keeps the resource's placeholder once the dialog shows.
TEST(DialogTemplatesTest, EveryAddressedControlIsGivenItsText) {
  platform::FakeWindow window;
  int32_t flag = 0;
  int value = 0;
  window.dialogScript = {DialogAction::Cancel(), DialogAction::Cancel(), DialogAction::Ok()};
  CSetFrameRateDlg(window, flag, value, 0).DoModal();
  CUseTimeLimitDlg(window, flag, value, 0).DoModal();
  CAboutDlg(window, 0).DoModal();
  const platform::DialogTemplate* resources[] = {&DialogResource133(), &DialogResource134(),
                                                 &DialogResource100()};
  for (int i = 0; i < 3; ++i) {
    for (const platform::DialogControl& c : resources[i]->controls) {
      if (c.id == platform::kNoControlId) continue;
      EXPECT_NE(window.dialogRuns[i].shownTexts.at(c.id), c.text ? c.text : "")
          << resources[i]->resourceId << " control " << c.id;
    }
  }
}

}  // namespace
