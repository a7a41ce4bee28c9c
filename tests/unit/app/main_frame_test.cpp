// CMainFrame: creation, language, activation, painting, sizing and shutdown.
#include <gtest/gtest.h>

#include "frame_fixture.h"
#include "i18n/language.h"

namespace {

class RecordingPainter : public platform::Painter {
 public:
  void FillRectangle(const platform::Rect& r, platform::SystemColor color) override {
    fills.push_back(r);
    colors.push_back(color);
  }
  std::vector<platform::Rect> fills;
  std::vector<platform::SystemColor> colors;
};

using MainFrameTest = FrameTest;

TEST_F(MainFrameTest, ConstructionGivesTheDocumentedDefaults) {
  system.milliseconds = 777;
  CMainFrame& f = Frame();
  EXPECT_EQ(f.m_selectedVideoDevice, -1);
  EXPECT_EQ(f.m_selectedAudioDevice, -1);
  EXPECT_EQ(f.m_previewOn, 1);
  EXPECT_EQ(f.m_frameRate, 60);
  EXPECT_EQ(f.m_timeLimitSeconds, 30);
  EXPECT_EQ(f.m_languageId, 0x0804);
  EXPECT_EQ(f.m_languageIndex, 1);
  EXPECT_EQ(f.m_fpsSampleIndex, 4);
  EXPECT_EQ(f.m_firstVideoWindowSizing, 1);
  EXPECT_EQ(f.m_captureFolder, "c:\\");
  EXPECT_EQ(f.m_fpsWindowStart, 777u);
  platform::WindowCreateParams p = f.PreCreateWindow();
  EXPECT_EQ(p.caption, "Pelquin ");
  EXPECT_EQ(p.width, 360);
  EXPECT_EQ(p.height, 320);
}

TEST_F(MainFrameTest, CreationFailsWhenTheStatusBarCannotBeMade) {
  window.failStatusBar = true;
  EXPECT_EQ(Frame().OnCreate(), -1);
}

TEST_F(MainFrameTest, CreationSizesTheStatusBarFromItsFontAndShowsTheInitialPane) {
  window.statusFontHeight = 13;
  ASSERT_EQ(Frame().OnCreate(), 0);
  EXPECT_EQ(frame->m_statusBarHeight, 19);  // 13 * 3 / 2, truncated
  EXPECT_EQ(window.StatusText(), std::string("USB Video Device") + std::string(94, ' '));
}

struct LocaleCase {
  const char* locale;
  uint16_t langId;
  int index;
  uint32_t command;
  const char* label;
};

class MainFrameLanguageTest : public FrameTest, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(MainFrameLanguageTest, LocalePicksTheLanguageAndRelabelsTheBar) {
  const LocaleCase& c = GetParam();
  system.locale = c.locale;
  ASSERT_EQ(Frame().OnCreate(), 0);
  EXPECT_EQ(frame->m_languageId, c.langId);
  EXPECT_EQ(frame->m_languageIndex, c.index);
  ASSERT_NE(window.GetMenu(), nullptr);
  EXPECT_EQ(window.GetMenu(), frame->MenuBar());
  if (c.command != 0) {
    EXPECT_EQ(window.GetMenu()->TextOfCommand(c.command), c.label);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Locales, MainFrameLanguageTest,
    ::testing::Values(LocaleCase{"pl_PL.UTF-8", 0x0415, kLangPolish, 57665, "wyjsc(&X)"},
                      LocaleCase{"ja_JP.UTF-8", 0x0411, kLangJapanese, 57665, "退出(&X)"},
                      LocaleCase{"C", 0x0409, kLangEnglish, 32775, "Snap Shot(&P)"},
                      LocaleCase{"zh_HK.UTF-8", 0x0C04, kLangTraditionalChinese, 0, ""}));

TEST_F(MainFrameTest, FrenchBarLabelsItsPopupsByPosition) {
  system.locale = "fr_FR.UTF-8";
  ASSERT_EQ(Frame().OnCreate(), 0);
  platform::Menu* bar = window.GetMenu();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->TextAtPosition(0), "Dossier(&F)");
  EXPECT_EQ(bar->TextAtPosition(3), "aperçu(&P)");
  EXPECT_EQ(bar->TextAtPosition(4), "Captage de vidéo(&R)");
  ASSERT_NE(bar->SubMenu(4), nullptr);
  EXPECT_EQ(bar->SubMenu(4)->TextAtPosition(1), "Format visuel");
  // The window system's own texts and the property pages follow the same language.
  EXPECT_EQ(window.interfaceLanguage.locale, "fr");
  ASSERT_TRUE(window.interfaceLanguage.translate);
  EXPECT_EQ(window.interfaceLanguage.translate("Brightness"), "Luminosité");
}

TEST_F(MainFrameTest, ActivationLoadsSettingsOnceInitialisesAndStartsTheTimer) {
  Start();
  EXPECT_EQ(frame->m_initDone, 1);
  EXPECT_EQ(frame->m_captureFolder, system.documents);
  ASSERT_EQ(window.timers.count(1), 1u);
  EXPECT_EQ(window.timers.at(1), 100);
}

TEST_F(MainFrameTest, PaintFillsTheClientAreaOnlyWhileNoGraphRuns) {
  Start();
  RecordingPainter idle;
  frame->OnPaint(idle);
  ASSERT_EQ(idle.fills.size(), 1u);
  EXPECT_EQ(idle.fills[0], window.ClientRect());
  EXPECT_EQ(idle.colors[0], platform::SystemColor::ButtonText);
  frame->m_graphRunning = 1;
  RecordingPainter running;
  frame->OnPaint(running);
  EXPECT_TRUE(running.fills.empty());
}

TEST_F(MainFrameTest, SizePlacesTheStatusBarAlongTheBottom) {
  Start();
  window.statusBarMoves.clear();
  frame->OnSize(0, 0);
  ASSERT_EQ(window.statusBarMoves.size(), 1u);
  platform::Rect cli = window.ClientRect();
  int h = frame->m_statusBarHeight + 1;
  EXPECT_EQ(window.statusBarMoves[0],
            (platform::Rect{-1, cli.bottom - h, cli.right + 1, cli.bottom + 1}));
}

TEST_F(MainFrameTest, FitWindowToVideoMeasuresAgainWhenTheMenuWraps) {
  Start();
  window.window = {50, 60, 50 + 300, 60 + 300};
  window.menuWrapWidth = 400;  // narrower than 400: the menu takes two lines
  frame->m_videoWidth = 640;
  frame->FitWindowToVideo(640, 480);
  platform::Rect cli = window.ClientRect();
  EXPECT_EQ(cli.right, 640);
  EXPECT_EQ(cli.bottom - frame->m_statusBarHeight - 1, 480);
  EXPECT_EQ(window.resizes.size(), 2u);
  EXPECT_EQ(window.window.left, 50) << "fitting never moves the window";
  EXPECT_EQ(frame->m_fitWindowDepth, 0);
  EXPECT_EQ(frame->m_statusPaneWidth, 640);

  // Shrinking below the wrap width: the second pass catches the extra menu line.
  frame->FitWindowToVideo(320, 240);
  cli = window.ClientRect();
  EXPECT_EQ(cli.bottom - frame->m_statusBarHeight - 1, 240);
}

TEST_F(MainFrameTest, FitWindowToVideoNarrowerThanTheMinimumOnlyRevisitsTheHeight) {
  Start();
  window.window = {0, 0, 300, 300};
  window.cxMin = 136;
  frame->FitWindowToVideo(100, 80);
  ASSERT_EQ(window.resizes.size(), 2u);
  EXPECT_EQ(window.resizes[0].first, window.resizes[1].first);
}

TEST_F(MainFrameTest, CloseSavesWhetherTheGraphRanAndStopsTheTimer) {
  Start();
  frame->m_graphRunning = 0;
  frame->OnClose();
  EXPECT_EQ(window.timers.count(1), 0u);
  EXPECT_NE(ReadFile(IniPath()).find("WantPreview=0\n"), std::string::npos);

  frame->m_graphRunning = 1;
  frame->OnClose();
  EXPECT_NE(ReadFile(IniPath()).find("WantPreview=1\n"), std::string::npos);
  EXPECT_EQ(frame->m_graphRunning, 0);
}

TEST_F(MainFrameTest, ExitAsksTheWindowToClose) {
  Start();
  frame->OnCommand(57665);
  EXPECT_TRUE(window.closeRequested);
}

}  // namespace
