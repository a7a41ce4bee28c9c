// Ostrel's entry point: the Qt application, the Linux system services, the frame.
#include <gst/gst.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "app/pelquin_app.h"
#include "platform/gst/gst_media_factory.h"
#include "platform/gst/own_plugins.h"
#include "platform/gst/shutter_player.h"
#include "platform/linux/linux_system.h"
#include "platform/qt/application_icon.h"
#include "platform/qt/close_on_signal.h"
#include "platform/qt/qt_frame_window.h"

int main(int argc, char** argv) {
  gst_init(nullptr, nullptr);  // Ostrel has no options of its own, GStreamer's included
  QApplication application(argc, argv);
  QApplication::setWindowIcon(platform::ApplicationIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("org.ostrel.Ostrel"));
  media::gst::ShutterPlayer shutter;
  platform::LinuxSystem system([&shutter] { shutter.Play(); });
  media::gst::RegisterOwnPlugins(system.ModulePath());  // before the devices are listed
  platform::QtWindowFactory windows;
  media::gst::GstMediaFactory media;
  CPelquinApp pelquin(system, &media, windows);

  // A termination request closes the window the way the user would, once it is up;
  // one that arrives during start-up dismisses every message box that start-up still
  // shows (a failed preview shows two), then closes the window.
  bool started = false;
  bool closeWhenStarted = false;
  QTimer dismissModals;
  dismissModals.setInterval(20);
  QObject::connect(&dismissModals, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  platform::OnTerminationSignals([&] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    if (started && pelquin.MainWindow()) {
      pelquin.MainWindow()->CloseWindow();
    } else {
      closeWhenStarted = true;
      dismissModals.start();
    }
  });
  if (!pelquin.InitInstance()) return 1;
  started = true;
  dismissModals.stop();
  // Closed from inside the event loop, so that closing the last window ends the loop.
  if (closeWhenStarted) QTimer::singleShot(0, [&pelquin] { pelquin.MainWindow()->CloseWindow(); });
  return application.exec();
}
