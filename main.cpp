// Ostrel's entry point: the Qt application, the Linux system services, the frame.
#include <gst/gst.h>

#include <QApplication>

#include "app/pelquin_app.h"
#include "platform/gst/gst_media_factory.h"
#include "platform/linux/linux_system.h"
#include "platform/qt/qt_frame_window.h"

int main(int argc, char** argv) {
  gst_init(nullptr, nullptr);  // Ostrel has no options of its own, GStreamer's included
  QApplication application(argc, argv);
  platform::LinuxSystem system;
  platform::QtWindowFactory windows;
  media::gst::GstMediaFactory media;
  CPelquinApp pelquin(system, &media, windows);
  if (!pelquin.InitInstance()) return 1;
  return application.exec();
}
