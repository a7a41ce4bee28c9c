// Ostrel's entry point: the Qt application, the Linux system services, the frame.
#include <gst/gst.h>

#include <QApplication>
#include <QTimer>

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

  // A termination request closes the window the way the user would, after whatever
  // command or dialog is open has been dismissed; one that arrives before the window
  // exists closes it once start-up is over.
  bool closeWhenStarted = false;
  platform::OnTerminationSignals([&] {
    if (auto* window = dynamic_cast<platform::QtFrameWindow*>(pelquin.MainWindow())) {
      window->RequestTermination();
    } else {
      closeWhenStarted = true;
    }
  });
  if (!pelquin.InitInstance()) return 1;
  // Closed from inside the event loop, so that closing the last window ends the loop.
  if (auto* window = dynamic_cast<platform::QtFrameWindow*>(pelquin.MainWindow())) {
    if (closeWhenStarted) window->RequestTermination();
    window->StartUpDone();
  }
  return application.exec();
}
