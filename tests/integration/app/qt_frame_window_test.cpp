// The frame on the Qt window: start-up, labels, fonts, geometry, close and restart.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMenuBar>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/pelquin_app.h"
#include "platform/fakes/fake_system.h"
#include "platform/fakes/no_window_events.h"
#include "platform/qt/qt_frame_window.h"

namespace {

class QtFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "ostrel-qt-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
    std::filesystem::create_directories(dir + "/bin");
    std::filesystem::create_directories(dir + "/Documents");
    system.modulePath = dir + "/bin/ostrel";
    system.documents = dir + "/Documents";
    system.config = dir + "/config";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::string Ini() const {
    std::ifstream in(dir + "/bin/ostrel.INI");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string dir;
  platform::FakeSystem system;
  platform::QtWindowFactory windows;
};

QMenuBar* BarOf(platform::Window* w) { return static_cast<platform::QtFrameWindow*>(w)->menuBar(); }

TEST_F(QtFrameTest, StartsWithCaptionSizeAndFrenchMenuBar) {
  system.locale = "fr_FR.UTF-8";
  CPelquinApp app(system, nullptr, windows);
  ASSERT_TRUE(app.InitInstance());
  auto* window = static_cast<platform::QtFrameWindow*>(app.MainWindow());
  EXPECT_EQ(window->windowTitle(), QString("Pelquin "));
  EXPECT_EQ(window->width(), 360);
  EXPECT_EQ(window->height(), 320);
  QList<QAction*> popups = BarOf(window)->actions();
  ASSERT_EQ(popups.size(), 6);
  EXPECT_EQ(popups[0]->text(), QString("Dossier(&F)"));
  EXPECT_EQ(popups[3]->text(), QString::fromUtf8("aperçu(&P)"));
  EXPECT_EQ(popups[4]->text(), QString::fromUtf8("Captage de vidéo(&R)"));
  EXPECT_TRUE(window->isVisible());
  EXPECT_GT(app.MainFrame()->m_statusBarHeight, 0);
  window->close();
}

TEST_F(QtFrameTest, ChineseLabelsHaveAFontThatDrawsThem) {
  system.locale = "zh_CN.UTF-8";
  CPelquinApp app(system, nullptr, windows);
  ASSERT_TRUE(app.InitInstance());
  QMenuBar* bar = BarOf(app.MainWindow());
  QString file = bar->actions()[0]->text();
  EXPECT_EQ(file, QString::fromUtf8("文件(&F)"));
  EXPECT_FALSE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty());
  EXPECT_FALSE(QFontDatabase::families(QFontDatabase::Japanese).isEmpty());
  app.MainWindow()->CloseWindow();
}

TEST_F(QtFrameTest, FitWindowToVideoGivesTheVideoItsClientArea) {
  CPelquinApp app(system, nullptr, windows);
  ASSERT_TRUE(app.InitInstance());
  CMainFrame* frame = app.MainFrame();
  frame->m_videoWidth = 640;
  frame->FitWindowToVideo(640, 480);
  platform::Rect cli = app.MainWindow()->ClientRect();
  EXPECT_EQ(cli.right, 640);
  EXPECT_EQ(cli.bottom, 480 + frame->m_statusBarHeight + 1);
  app.MainWindow()->CloseWindow();
}

TEST_F(QtFrameTest, ClosingSavesTheSettingsAndASecondStartReadsThemBack) {
  {
    CPelquinApp app(system, nullptr, windows);
    ASSERT_TRUE(app.InitInstance());
    app.MainFrame()->m_clipIndex = 17;
    app.MainFrame()->m_timeLimitSeconds = 45;
    app.MainWindow()->CloseWindow();
    QApplication::processEvents();
  }
  std::string ini = Ini();
  const char* keys[] = {"WantPreview=",   "AviFileFolder=",     "SnapFolder=",  "AviFileIndex=17",
                        "SnapFileIndex=", "TimeLimitEnalbe=",   "TimeLimit=45", "Capture Audio=",
                        "VideoFormat=",   "HighResolutionSize="};
  size_t at = 0;
  for (const char* key : keys) {
    size_t found = ini.find(std::string("\n") + key, at);
    ASSERT_NE(found, std::string::npos) << key << " missing or out of order in\n" << ini;
    at = found + 1;
  }
  CPelquinApp again(system, nullptr, windows);
  ASSERT_TRUE(again.InitInstance());
  EXPECT_EQ(again.MainFrame()->m_clipIndex, 17);
  EXPECT_EQ(again.MainFrame()->m_timeLimitSeconds, 45);
  again.MainWindow()->CloseWindow();
}

TEST_F(QtFrameTest, MenuCommandsReachTheFrame) {
  CPelquinApp app(system, nullptr, windows);
  ASSERT_TRUE(app.InitInstance());
  QMenuBar* bar = BarOf(app.MainWindow());
  QAction* exitAction = nullptr;
  for (QAction* a : bar->actions()[0]->menu()->actions())
    if (a->property("ostrelCommandId").toUInt() == 57665) exitAction = a;
  ASSERT_NE(exitAction, nullptr);
  exitAction->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(static_cast<platform::QtFrameWindow*>(app.MainWindow())->isVisible());
  EXPECT_NE(Ini().find("WantPreview=0"), std::string::npos);
}

TEST_F(QtFrameTest, TerminationDismissesTheOpenMessageAndClosesOnceTheCommandIsDone) {
  CPelquinApp app(system, nullptr, windows);
  ASSERT_TRUE(app.InitInstance());
  auto* window = static_cast<platform::QtFrameWindow*>(app.MainWindow());
  window->StartUpDone();
  QAction* frameRate = nullptr;
  for (QAction* menu : window->menuBar()->actions())
    for (QAction* a : menu->menu()->actions())
      if (a->property("ostrelCommandId").toUInt() == 32778) frameRate = a;
  ASSERT_NE(frameRate, nullptr);
  bool openedBox = false, visibleInsideCommand = false;
  QTimer::singleShot(100, [&] {
    openedBox = QApplication::activeModalWidget() != nullptr;  // "no video capture device"
    window->RequestTermination();
    visibleInsideCommand = window->isVisible();
  });
  frameRate->trigger();  // returns once the box is dismissed
  EXPECT_TRUE(openedBox);
  EXPECT_TRUE(visibleInsideCommand) << "the frame does not close inside a command";
  EXPECT_EQ(window->ShowMessage("later", "", platform::MessageIcon::None,
                                platform::MessageButtons::YesNo),
            platform::MessageResult::No)
      << "answered at once";
  QApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
  EXPECT_NE(Ini().find("WantPreview="), std::string::npos) << "closed the way the user closes";
}

// What reaches a frame: its ticks and its close.
struct TickAndCloseCounter : platform::NoWindowEvents {
  void OnTimer(int) override { ++ticks; }
  void OnClose() override { ++closes; }
  int ticks = 0;
  int closes = 0;
};

TEST_F(QtFrameTest, AWaitThatPaintsHoldsTheTicksAndTheCloseTillItEnds) {
  TickAndCloseCounter frame;
  std::unique_ptr<platform::Window> window =
      windows.CreateFrameWindow({"Pelquin ", 320, 240}, frame);
  window->Show();
  window->SetTimer(1, 10);
  QTimer::singleShot(30, [&] { window->CloseWindow(); });  // a close during a stop
  ASSERT_TRUE(window->PaintWhileWaiting(200));
  EXPECT_EQ(frame.ticks, 0);
  EXPECT_EQ(frame.closes, 0);
  QApplication::processEvents();
  EXPECT_EQ(frame.closes, 1) << "the close comes once the wait is over";
}

}  // namespace
