// drvsetup's command line: the command word, its arguments, the usage text and the exit code.
#include "drvsetup/command_line.h"

#include <string>

#include "drvsetup/exit_codes.h"
#include "drvsetup/hardware_ids.h"
#include "drvsetup/install.h"
#include "drvsetup/remove.h"

namespace ostrel::drvsetup {

const char kUsageLine[] = "usage: drvsetup INSTALL <inf file> | drvsetup REMOVE\n";

const char kUsageText[] =
    "usage: drvsetup INSTALL <inf file>\n"
    "       drvsetup REMOVE\n"
    "\n"
    "INSTALL binds the camera's driver to interface 0 of the first present USB device\n"
    "that carries one of the hardware IDs (USB\\VID_xxxx&PID_yyyy) named in the INF file.\n"
    "REMOVE removes the camera's devices, or detaches their interfaces from their driver.\n"
    "The command word may be written in any case. Changing devices needs root.\n"
    "\n"
    "exit codes:\n"
    "  0  INSTALL updated a present device, or REMOVE finished its scans\n"
    "  1  drvsetup could not initialise: the device list could not be read\n"
    "  2  usage: unknown command word or wrong number of arguments\n"
    "  3  the INF file is missing, unreadable or names no USB hardware ID\n"
    "  4  INSTALL found no present device carrying a hardware ID of the INF file\n"
    "  5  a write to the system failed (for example: drvsetup must run as root)\n";

int RunDrvsetup(int argc, const char* const* argv, DeviceSetup& setup, const Console& console) {
  if (argc <= 1) {
    console.err << kUsageText << std::flush;
    return kExitUsage;
  }
  std::string word = argv[1];
  if (argc == 2 && (word == "--help" || word == "-h")) {
    console.out << kUsageText << std::flush;
    return kExitOk;
  }
  UpperCaseInPlace(word);
  if (argc == 3 && word == "INSTALL") return InstallDriver(setup, argv[2], console);
  if (argc == 2 && word == "REMOVE") return RemoveDevices(setup, console);
  console.err << kUsageLine << std::flush;
  return kExitUsage;
}

}  // namespace ostrel::drvsetup
