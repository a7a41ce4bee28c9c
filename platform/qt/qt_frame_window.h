// The main window on Qt: a QMainWindow whose client widget hosts the status bar and
// the video window; it forwards Qt's events to the frame.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>

#include "platform/qt/qt_property_sheet.h"
#include "platform/ui.h"

namespace platform {

class QtMenu;
class QtVideoWindow;

class QtFrameWindow : public QMainWindow, public Window {
 public:
  QtFrameWindow(const WindowCreateParams& params, WindowEvents& events);
  ~QtFrameWindow() override;

  MessageResult ShowDetailedMessage(const std::string& text, const std::string& detail,
                                    const std::string& caption, MessageIcon icon) override;
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  std::string ApplicationTitle() const override { return m_title; }
  void SetCaption(const std::string& caption) override;
  void SetInterfaceLanguage(const InterfaceLanguage& language) override;

  std::unique_ptr<Menu> LoadMenu(const MenuTemplate& resource) override;
  void SetMenu(Menu* menu) override;
  Menu* GetMenu() override { return m_menu; }

  bool CreateStatusBar(const std::string& initialPaneText) override;
  void SetStatusText(const std::string& text) override;
  std::string StatusText() const override;
  void SetStatusPaneWidth(int width) override;
  void MoveStatusBar(const Rect& r) override;
  int StatusFontHeight() override;

  Rect WindowRect() const override;
  Rect ClientRect() const override;
  void SetWindowSize(int width, int height) override;
  void UpdateWindow() override;
  void Invalidate() override;
  int Metric(SystemMetric metric) const override;

  void SetTimer(int id, int periodMs) override;
  void KillTimer(int id) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  bool PaintWhileWaiting(uint32_t ms) override;
  std::string BrowseForFolder(const std::string& title, const std::string& startFolder) override;
  int RunModalDialog(const DialogTemplate& resource, DialogLogic& logic,
                     DialogOwner owner) override;
  media::VideoSurface* GetVideoSurface() override;
  void ClearVideoArea() override;
  void FlashVideoArea() override;
  media::PropertySheetHost* GetPropertySheetHost() override { return &m_sheetHost; }
  void Show() override;
  void CloseWindow() override;

  // A termination request (SIGTERM and the like): dismisses every open dialog, menu and
  // message box, answers the ones still to come at once, and closes the window as soon
  // as no handler of the frame is running, so the frame never closes inside a command.
  void RequestTermination();
  bool Terminating() const { return m_terminating; }
  // Start-up (the first activation) is over: from now on a termination closes the window.
  void StartUpDone();

  // The area below the menu bar; the video window is a child of it.
  QWidget* Client() const { return m_client; }
  QtVideoWindow* VideoWindow() const { return m_video; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MessageResult ShowBox(const std::string& text, const std::string& detail,
                        const std::string& caption, MessageIcon icon, MessageButtons buttons);
  void ConnectMenu(QtMenu* menu);
  void WatchPopups(QWidget* menu);
  // Runs one handler of the frame; a termination requested meanwhile closes after it.
  template <typename Handler>
  void Dispatch(Handler&& handler);
  void CloseIfTerminating();

  WindowEvents* m_events;
  std::string m_title;
  QWidget* m_client;
  QtVideoWindow* m_video;
  QWidget* m_statusBar = nullptr;
  QLabel* m_statusPane = nullptr;
  Menu* m_menu = nullptr;
  std::map<int, int> m_timers;  // frame timer id -> Qt timer id
  bool m_closing = false;
  bool m_waiting = false;         // inside PaintWhileWaiting
  bool m_closeAfterWait = false;  // a close came while waiting
  bool m_terminating = false;
  int m_handlerDepth = 0;
  bool m_started = false;
  QTimer* m_dismissTimer = nullptr;
  QtPropertySheetHost m_sheetHost{this};
};

class QtWindowFactory : public WindowFactory {
 public:
  std::unique_ptr<Window> CreateFrameWindow(const WindowCreateParams& params,
                                            WindowEvents& events) override;
};

}  // namespace platform
