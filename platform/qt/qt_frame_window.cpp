// QtFrameWindow: Qt events in, window-system services out.
#include "platform/qt/qt_frame_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLayout>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <QTimerEvent>

#include "platform/qt/dialog_look.h"
#include "platform/qt/qt_menu.h"
#include "platform/qt/qt_template_dialog.h"
#include "platform/qt/qt_translations.h"
#include "platform/qt/qt_video_window.h"

namespace platform {

namespace {

QString ToQ(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// The font the status bar is measured with: small, normal weight, sans.
QFont StatusFont() {
  QFont font(QStringLiteral("Helvetica"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  return font;
}

class QtPainter : public Painter {
 public:
  QtPainter(QPainter& p, const QPalette& palette) : m_p(p), m_palette(palette) {}
  void FillRectangle(const Rect& r, SystemColor) override {
    m_p.fillRect(QRect(r.left, r.top, r.Width(), r.Height()),
                 m_palette.color(QPalette::ButtonText));
  }

 private:
  QPainter& m_p;
  const QPalette& m_palette;
};

}  // namespace

QtFrameWindow::QtFrameWindow(const WindowCreateParams& params, WindowEvents& events)
    : m_events(&events),
      m_title(params.caption),
      m_client(new QWidget(this)),
      m_video(new QtVideoWindow(m_client)) {
  setWindowTitle(ToQ(params.caption));
  m_client->setAttribute(Qt::WA_OpaquePaintEvent);
  m_client->installEventFilter(this);
  setCentralWidget(m_client);
  resize(params.width, params.height);
}

QtFrameWindow::~QtFrameWindow() {
  m_events = nullptr;
  m_client->removeEventFilter(this);
}

MessageResult QtFrameWindow::ShowMessage(const std::string& text, const std::string& caption,
                                         MessageIcon icon, MessageButtons buttons) {
  return ShowBox(text, {}, caption, icon, buttons);
}

MessageResult QtFrameWindow::ShowDetailedMessage(const std::string& text, const std::string& detail,
                                                 const std::string& caption, MessageIcon icon) {
  return ShowBox(text, detail, caption, icon, MessageButtons::Ok);
}

MessageResult QtFrameWindow::ShowBox(const std::string& text, const std::string& detail,
                                     const std::string& caption, MessageIcon icon,
                                     MessageButtons buttons) {
  // The program is ending: nobody is left to answer, and the answer is the cautious one.
  if (m_terminating) {
    return buttons == MessageButtons::Ok      ? MessageResult::Ok
           : buttons == MessageButtons::YesNo ? MessageResult::No
                                              : MessageResult::Cancel;
  }
  QMessageBox box(this);
  UseFixedDialogFrame(&box);
  box.setWindowTitle(ToQ(caption.empty() ? m_title : caption));
  box.setText(ToQ(text));
  // The reason, in smaller print under the fixed text.
  if (!detail.empty()) box.setInformativeText(ToQ(detail));
  switch (icon) {
    case MessageIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MessageIcon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
  }
  switch (buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return MessageResult::Cancel;
    case QMessageBox::Yes:
      return MessageResult::Yes;
    case QMessageBox::No:
      return MessageResult::No;
    default:
      return MessageResult::Ok;
  }
}

void QtFrameWindow::SetCaption(const std::string& caption) { setWindowTitle(ToQ(caption)); }

void QtFrameWindow::SetInterfaceLanguage(const InterfaceLanguage& language) {
  const QString locale = ToQ(language.locale);
  InstallQtTranslations(locale);
  QApplication::setFont(InterfaceFont(locale));
  m_sheetHost.SetTranslation(language.translate);
}

std::unique_ptr<Menu> QtFrameWindow::LoadMenu(const MenuTemplate& resource) {
  return QtMenu::FromTemplate(resource);
}

void QtFrameWindow::ConnectMenu(QtMenu* menu) {
  QMenuBar* bar = menu->Bar();
  connect(bar, &QMenuBar::triggered, this, [this](QAction* action) {
    QVariant id = action->property("ostrelCommandId");
    if (m_events && id.isValid()) Dispatch([&] { m_events->OnCommand(id.toUInt()); });
  });
  WatchPopups(bar);
}

void QtFrameWindow::WatchPopups(QWidget* menu) {
  // Opening any popup, by mouse, Alt+letter or the arrow keys, and at any depth, is the
  // moment the frame updates the items, before the popup is drawn.
  for (QAction* a : menu->actions()) {
    QMenu* popup = a->menu();
    if (!popup || popup->property("ostrelWatched").toBool()) continue;
    popup->setProperty("ostrelWatched", true);
    connect(popup, &QMenu::aboutToShow, this, [this] {
      if (m_events) Dispatch([this] { m_events->OnInitMenu(); });
    });
    WatchPopups(popup);
  }
}

void QtFrameWindow::SetMenu(Menu* menu) {
  m_menu = menu;
  auto* qtMenu = dynamic_cast<QtMenu*>(menu);
  if (!qtMenu || !qtMenu->Bar()) return;
  setMenuBar(qtMenu->Bar());  // the window owns the bar from now on
  ConnectMenu(qtMenu);
  if (QLayout* l = layout()) l->activate();
}

bool QtFrameWindow::CreateStatusBar(const std::string& initialPaneText) {
  m_statusBar = new QWidget(m_client);
  m_statusBar->setAutoFillBackground(true);
  m_statusBar->setBackgroundRole(QPalette::Window);
  m_statusPane = new QLabel(m_statusBar);
  m_statusPane->setFont(StatusFont());
  m_statusPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  m_statusPane->setTextFormat(Qt::PlainText);
  m_statusPane->setText(ToQ(initialPaneText));
  m_statusPane->setFixedWidth(QFontMetrics(StatusFont()).horizontalAdvance(ToQ(initialPaneText)));
  m_statusBar->show();
  return true;
}

void QtFrameWindow::SetStatusText(const std::string& text) {
  if (m_statusPane) m_statusPane->setText(ToQ(text));
}

std::string QtFrameWindow::StatusText() const {
  return m_statusPane ? m_statusPane->text().toUtf8().toStdString() : std::string();
}

void QtFrameWindow::SetStatusPaneWidth(int width) {
  if (m_statusPane && width > 0) m_statusPane->setFixedWidth(width);
}

void QtFrameWindow::MoveStatusBar(const Rect& r) {
  if (!m_statusBar) return;
  m_statusBar->setGeometry(r.left, r.top, r.Width(), r.Height());
  m_statusPane->setGeometry(2, 2, m_statusPane->width(), std::max(0, r.Height() - 4));
  m_statusBar->raise();
}

int QtFrameWindow::StatusFontHeight() { return QFontMetrics(StatusFont()).height(); }

Rect QtFrameWindow::WindowRect() const {
  QRect g = geometry();
  return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

Rect QtFrameWindow::ClientRect() const { return {0, 0, m_client->width(), m_client->height()}; }

void QtFrameWindow::SetWindowSize(int width, int height) {
  resize(std::max(width, 1), std::max(height, 1));
  // Lay the client area out now, so the caller measures the new size at once.
  if (QLayout* l = layout()) l->activate();
}

void QtFrameWindow::UpdateWindow() {
  if (QLayout* l = layout()) l->activate();
  update();
}

void QtFrameWindow::Invalidate() { m_client->update(); }

int QtFrameWindow::Metric(SystemMetric metric) const {
  switch (metric) {
    case SystemMetric::CyBorder:
    case SystemMetric::CxBorder:
      return 1;
    case SystemMetric::CxMin:
      return std::max(1, minimumSizeHint().width());
  }
  return 0;
}

void QtFrameWindow::SetTimer(int id, int periodMs) {
  KillTimer(id);
  m_timers[id] = startTimer(periodMs, Qt::PreciseTimer);
}

void QtFrameWindow::KillTimer(int id) {
  auto it = m_timers.find(id);
  if (it == m_timers.end()) return;
  killTimer(it->second);
  m_timers.erase(it);
}

void QtFrameWindow::BeginWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
void QtFrameWindow::EndWaitCursor() { QApplication::restoreOverrideCursor(); }

bool QtFrameWindow::PaintWhileWaiting(uint32_t ms) {
  // Paint and other window-system events only; the frame's ticks and a close wait.
  const bool outer = !m_waiting;
  m_waiting = true;
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (outer) {
    m_waiting = false;
    if (m_closeAfterWait) {
      m_closeAfterWait = false;
      QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
  }
  return true;
}

std::string QtFrameWindow::BrowseForFolder(const std::string& title,
                                           const std::string& startFolder) {
  if (m_terminating) return {};
  QString chosen = QFileDialog::getExistingDirectory(this, ToQ(title), ToQ(startFolder),
                                                     QFileDialog::ShowDirsOnly);
  return chosen.toUtf8().toStdString();
}

int QtFrameWindow::RunModalDialog(const DialogTemplate& resource, DialogLogic& logic,
                                  DialogOwner owner) {
  if (m_terminating) return 2;  // cancelled
  // A dialog without a parent still stands over this window and blocks the application.
  QtTemplateDialog dialog(resource, logic, owner == DialogOwner::Window ? this : nullptr, this,
                          ToQ(m_title));
  dialog.setWindowModality(Qt::ApplicationModal);
  return dialog.exec();
}

media::VideoSurface* QtFrameWindow::GetVideoSurface() { return m_video; }

void QtFrameWindow::ClearVideoArea() {
  if (m_video) m_video->Clear();
}

void QtFrameWindow::FlashVideoArea() {
  if (m_video) m_video->Flash();
}

void QtFrameWindow::Show() { show(); }

void QtFrameWindow::CloseWindow() { close(); }

template <typename Handler>
void QtFrameWindow::Dispatch(Handler&& handler) {
  ++m_handlerDepth;
  handler();
  --m_handlerDepth;
  CloseIfTerminating();
}

void QtFrameWindow::CloseIfTerminating() {
  if (!m_terminating || !m_started || m_handlerDepth > 0 || m_closing) return;
  // From the event loop, after the handler that was running has returned.
  QTimer::singleShot(0, this, [this] {
    if (!m_closing) close();
  });
}

void QtFrameWindow::StartUpDone() {
  m_started = true;
  CloseIfTerminating();
}

void QtFrameWindow::RequestTermination() {
  const auto dismiss = [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  };
  if (!m_terminating) {
    m_terminating = true;
    // A dialog or message box may open more of its own while it unwinds: keep dismissing.
    m_dismissTimer = new QTimer(this);
    m_dismissTimer->setInterval(20);
    connect(m_dismissTimer, &QTimer::timeout, this, dismiss);
    m_dismissTimer->start();
  }
  dismiss();
  CloseIfTerminating();
}

void QtFrameWindow::closeEvent(QCloseEvent* event) {
  if (m_waiting) {
    m_closeAfterWait = true;
    event->ignore();
    return;
  }
  if (m_events && !m_closing) {
    m_closing = true;
    m_events->OnClose();
  }
  event->accept();
}

void QtFrameWindow::timerEvent(QTimerEvent* event) {
  for (const auto& [id, qtId] : m_timers) {
    if (qtId == event->timerId()) {
      if (m_events && !m_waiting) Dispatch([this, id = id] { m_events->OnTimer(id); });
      return;
    }
  }
  QMainWindow::timerEvent(event);
}

bool QtFrameWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_client && m_events) {
    if (event->type() == QEvent::Resize) {
      m_events->OnSize(m_client->width(), m_client->height());
    } else if (event->type() == QEvent::Paint) {
      QPainter p(m_client);
      QtPainter painter(p, m_client->palette());
      m_events->OnPaint(painter);
      return true;
    } else if (event->type() == QEvent::Show) {
      Dispatch([this] { m_events->OnShowWindow(true); });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

std::unique_ptr<Window> QtWindowFactory::CreateFrameWindow(const WindowCreateParams& params,
                                                           WindowEvents& events) {
  return std::make_unique<QtFrameWindow>(params, events);
}

}  // namespace platform
