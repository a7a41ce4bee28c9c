// Why a preview or a recording could not go on: the line a message box shows under its
// fixed text, and that stderr gets too. English for now; one place to translate them.
#pragma once

#include <string>

namespace failure_reason {

std::string FolderMissing(const std::string& folder);
std::string FolderReadOnly(const std::string& folder);
std::string NoRoomLeft(const std::string& folder);
std::string DiskNearlyFull(const std::string& folder);
std::string FormatCannotBeRecorded();
std::string ClipFormatUnknown(int format);
std::string CameraUnplugged();
std::string ClipNotWritten(const std::string& what);
// A folder from the settings that is gone, and the one used from now on.
std::string FolderReplaced(const std::string& gone, const std::string& used);

}  // namespace failure_reason
