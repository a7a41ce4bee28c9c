// The reasons' texts.
#include "app/failure_reasons.h"

namespace failure_reason {

std::string FolderMissing(const std::string& folder) {
  return "The folder " + folder + " does not exist.";
}

std::string FolderReadOnly(const std::string& folder) {
  return "The folder " + folder + " cannot be written to.";
}

std::string NoRoomLeft(const std::string& folder) {
  return "There is no room left on the disk of " + folder + ".";
}

std::string DiskNearlyFull(const std::string& folder) {
  return "The disk of " + folder +
         " is nearly full: the clip was finished with what had been recorded.";
}

std::string FormatCannotBeRecorded() { return "The camera's current format cannot be recorded."; }

std::string ClipFormatUnknown(int format) {
  return "The clip format " + std::to_string(format) + " is neither AVI nor WMV.";
}

std::string CameraUnplugged() { return "The camera was unplugged or stopped sending pictures."; }

std::string ClipNotWritten(const std::string& what) {
  return "The clip could not be written" + (what.empty() ? std::string(".") : ": " + what);
}

std::string FolderReplaced(const std::string& gone, const std::string& used) {
  return "The folder " + gone + " no longer exists. Ostrel uses " + used + " instead.";
}

}  // namespace failure_reason
