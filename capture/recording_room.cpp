// CaptureFrame: the free space of the capture folder against what the recording needs.
#include <cstdio>

#include "capture/capture_frame.h"
#include "capture/recording_space.h"

namespace {

struct Needs {
  int64_t bytesPerSecond;
  int fps;
  bool sound;
};

Needs RecordingNeeds(const FrameState& f) {
  const bool sound = f.m_recordAudio && f.m_selectedAudioDevice >= 0;
  // The recording asks the camera for the frame rate of the settings.
  const int fps = f.m_frameRate > 0 ? f.m_frameRate : 30;
  return {recording_space::BytesPerSecond(f.m_recordFormat, f.m_videoSubtype, f.m_videoWidth,
                                          f.m_videoHeight, fps, sound),
          fps, sound};
}

}  // namespace

BOOL CaptureFrame::HasRoomToStartRecording() {
  const Needs needs = RecordingNeeds(*this);
  const int64_t free = Sys().FreeBytes(m_captureFolder);
  if (recording_space::EnoughToStart(free, needs.bytesPerSecond)) return 1;
  std::fprintf(
      stderr, "ostrel: %s has room for less than %d seconds of recording (%lld bytes free)\n",
      m_captureFolder.c_str(), recording_space::kStartSeconds, static_cast<long long>(free));
  return 0;
}

BOOL CaptureFrame::RecordingRoomRunningOut(int64_t elapsedSeconds) {
  const Needs needs = RecordingNeeds(*this);
  const int64_t free = Sys().FreeBytes(m_captureFolder);
  if (!recording_space::RunningOut(free, needs.bytesPerSecond, elapsedSeconds, needs.fps,
                                   needs.sound))
    return 0;
  std::fprintf(stderr,
               "ostrel: %s is almost full (%lld bytes free): the recording stops while its "
               "file can still be finished\n",
               m_captureFolder.c_str(), static_cast<long long>(free));
  return 1;
}
