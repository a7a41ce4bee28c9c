// Why a preview or a recording could not go on: the line a message box shows under its
// fixed text, and that stderr gets too, in the user's language.
#pragma once

#include <cstdint>
#include <string>

namespace failure_reason {

std::string FolderMissing(int language, const std::string& folder);
std::string FolderReadOnly(int language, const std::string& folder);
std::string NoRoomLeft(int language, const std::string& folder);
std::string DiskNearlyFull(int language, const std::string& folder);
std::string FormatCannotBeRecorded(int language);
std::string ClipFormatUnknown(int language, int format);
std::string CameraUnplugged(int language);
std::string MicrophoneUnplugged(int language);
std::string ClipNotWritten(int language, const std::string& what);
// A folder from the settings that is gone, and the one used from now on.
std::string FolderReplaced(int language, const std::string& gone, const std::string& used);
// Every number up to the last is taken; lastClip is the last number's file.
std::string NoFreeClipNumber(int language, const std::string& lastClip);
// Frames a recording left out because the writer could not keep up.
std::string FramesLeftOut(int language, int64_t frames);

}  // namespace failure_reason
