// drvsetup for tests only: the same program, with the sysfs root taken from its first argument.
#include <iostream>
#include <vector>

#include "drvsetup/command_line.h"
#include "platform/linux/sysfs_device_set.h"

// drvsetup_fakeroot <sysfs root> [drvsetup's arguments...]
int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: drvsetup_fakeroot <sysfs root> [INSTALL <inf file> | REMOVE]\n";
    return 2;
  }
  ostrel::SysfsDeviceSetup setup(argv[1]);
  std::vector<const char*> args = {"drvsetup"};
  for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
  ostrel::drvsetup::Console console{std::cout, std::cerr};
  return ostrel::drvsetup::RunDrvsetup(static_cast<int>(args.size()), args.data(), setup, console);
}
