// The frame's menu on Qt: the program alone sets check marks, and every popup, nested ones
// too, has its items updated before it is shown, however it was opened.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include "app/pelquin_app.h"
#include "platform/fakes/fake_system.h"
#include "platform/qt/qt_frame_window.h"
#include "res/menu_ids.h"

namespace {

using namespace menu_id;

class QtMenuCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system.modulePath = "/nonexistent/ostrel-qt-menu/ostrel";
    system.locale = "en_US.UTF-8";
    ASSERT_TRUE(app.InitInstance());
    window = static_cast<platform::QtFrameWindow*>(app.MainWindow());
    QApplication::processEvents();
  }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* m = qobject_cast<QMenu*>(w)) m->hide();
  }

  QAction* Command(uint32_t id) {
    std::function<QAction*(QWidget*)> find = [&](QWidget* w) -> QAction* {
      for (QAction* a : w->actions()) {
        if (a->menu()) {
          if (QAction* hit = find(a->menu())) return hit;
        } else if (a->property("ostrelCommandId").toUInt() == id && !a->isSeparator()) {
          return a;
        }
      }
      return nullptr;
    };
    return find(window->menuBar());
  }
  static void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents();
  }
  QMenu* Popup(int position) { return window->menuBar()->actions()[position]->menu(); }

  platform::FakeSystem system;
  platform::QtWindowFactory windows;
  CPelquinApp app{system, nullptr, windows};
  platform::QtFrameWindow* window = nullptr;
};

TEST_F(QtMenuCommandsTest, ClickingAnItemNeverChangesItsCheckMark) {
  CMainFrame& frame = *app.MainFrame();
  QAction* avi = Command(kFormatAvi);
  QAction* wmv = Command(kFormatWmv);
  ASSERT_TRUE(avi && wmv);
  frame.OnInitMenu();
  ASSERT_TRUE(avi->isChecked());
  avi->trigger();  // the checked item: Qt would uncheck it
  EXPECT_TRUE(avi->isChecked());
  EXPECT_TRUE(window->GetMenu()->IsChecked(kFormatAvi));
  EXPECT_EQ(frame.m_recordFormat, 0);
  wmv->trigger();  // the unchecked one: the command runs, the mark waits for the program
  EXPECT_EQ(frame.m_recordFormat, 1);
  EXPECT_FALSE(wmv->isChecked());
  frame.OnInitMenu();
  EXPECT_TRUE(wmv->isChecked());
  EXPECT_FALSE(avi->isChecked());
  EXPECT_FALSE(avi->isCheckable()) << "an unchecked item shows no empty box";

  QAction* audio = Command(kRecordAudio);
  audio->trigger();
  EXPECT_EQ(frame.m_recordAudio, 1);
  EXPECT_FALSE(audio->isChecked()) << "not before the next opening";
}

TEST_F(QtMenuCommandsTest, EveryPopupIsUpdatedBeforeItShows) {
  CMainFrame& frame = *app.MainFrame();
  QMenu* capture = Popup(menu_pos::kCapture);
  QMenu* sizes = nullptr;
  for (QAction* a : capture->actions())
    if (a->menu() && a->menu()->actions().size() == 10) sizes = a->menu();
  ASSERT_NE(sizes, nullptr);

  g_stillSizeIndex = 3;
  capture->popup(QPoint(10, 10));  // the mouse or Alt+R
  QApplication::processEvents();
  EXPECT_TRUE(Command(kStillSize[3])->isChecked());
  EXPECT_FALSE(Command(kStartStopCapture)->isEnabled()) << "no camera";

  g_stillSizeIndex = 8;           // changed while the Capture popup is open
  sizes->popup(QPoint(200, 10));  // the nested popup opened by the arrow key
  QApplication::processEvents();
  EXPECT_TRUE(Command(kStillSize[8])->isChecked());
  EXPECT_FALSE(Command(kStillSize[3])->isChecked());
  sizes->hide();
  capture->hide();

  frame.m_previewOn = 0;
  QMenu* option = Popup(menu_pos::kOption);
  option->popup(QPoint(10, 10));
  QApplication::processEvents();
  EXPECT_FALSE(Command(kPreview)->isChecked());
  option->hide();
  g_stillSizeIndex = 0;
}

TEST_F(QtMenuCommandsTest, AltLetterOpensAnUpdatedPopup) {
  CMainFrame& frame = *app.MainFrame();
  window->activateWindow();
  window->setFocus();
  frame.m_recordAudio = 1;
  Press(window, Qt::Key_R, Qt::AltModifier);
  QMenu* capture = Popup(menu_pos::kCapture);
  if (!capture->isVisible()) GTEST_SKIP() << "this platform plugin does not deliver Alt+letter";
  EXPECT_TRUE(Command(kRecordAudio)->isChecked());
  frame.m_graphRunning = 0;
  Press(capture, Qt::Key_Right);  // keyboard navigation to the next popup, Help
  QWidget* next = QApplication::activePopupWidget();
  if (!next || next == capture) GTEST_SKIP() << "this platform plugin does not navigate menus";
  Press(next, Qt::Key_Left);  // and back
  if (!capture->isVisible()) GTEST_SKIP() << "this platform plugin does not navigate menus";
  EXPECT_FALSE(Command(kSnapshot)->isEnabled());
}

}  // namespace
