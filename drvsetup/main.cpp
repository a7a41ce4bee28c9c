// drvsetup: binds the camera's driver to its USB interfaces, or removes the camera's devices.
#include <iostream>

#include "drvsetup/command_line.h"
#include "platform/linux/sysfs_device_set.h"

int main(int argc, char** argv) {
  ostrel::SysfsDeviceSetup setup("/sys");
  ostrel::drvsetup::Console console{std::cout, std::cerr};
  return ostrel::drvsetup::RunDrvsetup(argc, argv, setup, console);
}
