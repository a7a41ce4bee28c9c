// drvsetup's exit codes, which a set-up procedure reads to learn what happened.
#pragma once

namespace ostrel::drvsetup {

enum ExitCode {
  kExitOk = 0,           // INSTALL updated a present device, or REMOVE finished its scans
  kExitInitFailed = 1,   // the device list could not be read
  kExitUsage = 2,        // unknown command word or wrong number of arguments
  kExitBadInf = 3,       // INF missing, unreadable or without a hardware ID
  kExitNoDevice = 4,     // no present device carries a hardware ID of the INF
  kExitWriteFailed = 5,  // the system refused a change (drvsetup must run as root)
};

}  // namespace ostrel::drvsetup
