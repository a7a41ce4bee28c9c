// drvsetup's command line: the command word, its arguments, the usage text and the exit code.
#pragma once

#include "drvsetup/console.h"
#include "platform/devices.h"

namespace ostrel::drvsetup {

extern const char kUsageLine[];
extern const char kUsageText[];

// Runs drvsetup with its arguments (argv[0] is the program) and returns the exit code.
int RunDrvsetup(int argc, const char* const* argv, DeviceSetup& setup, const Console& console);

}  // namespace ostrel::drvsetup
