// Ostrel's entry point: the Qt application, the Linux system services, the frame.
#include <QApplication>

#include "app/pelquin_app.h"
#include "platform/linux/linux_system.h"
#include "platform/qt/qt_frame_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  platform::LinuxSystem system;
  platform::QtWindowFactory windows;
  CPelquinApp pelquin(system, nullptr, windows);
  if (!pelquin.InitInstance()) return 1;
  return application.exec();
}
