// The reasons' texts, from our own text table.
#include "app/failure_reasons.h"

#include "i18n/own_text_table.h"

namespace failure_reason {

std::string FolderMissing(int language, const std::string& folder) {
  return FillOwnText(OWN_REASON_FOLDER_MISSING, language, folder);
}

std::string FolderReadOnly(int language, const std::string& folder) {
  return FillOwnText(OWN_REASON_FOLDER_READ_ONLY, language, folder);
}

std::string NoRoomLeft(int language, const std::string& folder) {
  return FillOwnText(OWN_REASON_NO_ROOM_LEFT, language, folder);
}

std::string DiskNearlyFull(int language, const std::string& folder) {
  return FillOwnText(OWN_REASON_DISK_NEARLY_FULL, language, folder);
}

std::string FormatCannotBeRecorded(int language) {
  return OwnText(OWN_REASON_FORMAT_CANNOT_BE_RECORDED, language);
}

std::string ClipFormatUnknown(int language, int format) {
  return FillOwnText(OWN_REASON_CLIP_FORMAT_UNKNOWN, language, std::to_string(format));
}

std::string CameraUnplugged(int language) { return OwnText(OWN_REASON_CAMERA_UNPLUGGED, language); }

std::string MicrophoneUnplugged(int language) {
  return OwnText(OWN_REASON_MICROPHONE_UNPLUGGED, language);
}

std::string ClipNotWritten(int language, const std::string& what) {
  if (what.empty()) return OwnText(OWN_REASON_CLIP_NOT_WRITTEN, language);
  return FillOwnText(OWN_REASON_CLIP_NOT_WRITTEN_BECAUSE, language, what);
}

std::string FolderReplaced(int language, const std::string& gone, const std::string& used) {
  return FillOwnText(OWN_REASON_FOLDER_REPLACED, language, gone, used);
}

std::string NoFreeClipNumber(int language, const std::string& lastClip) {
  return FillOwnText(OWN_REASON_NO_FREE_CLIP_NUMBER, language, lastClip);
}

std::string FramesLeftOut(int language, int64_t frames) {
  return FillOwnText(OWN_FRAMES_LEFT_OUT, language, std::to_string(frames));
}

}  // namespace failure_reason
