// The room a recording needs, from its format and how long it has run.
#include "capture/recording_space.h"

#include <algorithm>

namespace recording_space {

namespace {

// 48 kHz, 16-bit stereo: more than any microphone here records.
constexpr int64_t kPcmBytesPerSecond = 48000 * 2 * 2;
// The WMV encoders at their highest quality: well under 4 Mbit/s of picture, 128 kbit/s
// of sound.
constexpr int64_t kWmvBytesPerSecond = 4000000 / 8 + 128000 / 8;
// Index entries: AVI writes 16 bytes per chunk, OpenDML as many again in its standard
// indexes; sound comes in up to 50 chunks a second.
constexpr int64_t kIndexBytesPerChunk = 32;
constexpr int64_t kSoundChunksPerSecond = 50;
// Headers, the super index and the file system's own rounding.
constexpr int64_t kFixedReserve = 1 << 20;

int64_t BytesPerFrame(int subtype, int width, int height) {
  const int64_t pixels = static_cast<int64_t>(std::max(width, 1)) * std::max(height, 1);
  switch (subtype) {
    case 4:  // I420
      return pixels * 3 / 2;
    case 5:  // RGB24
      return pixels * 3;
    case 6:  // RGB32
      return pixels * 4;
    case 7:  // MJPG: a detailed frame at high quality stays under a byte a pixel
      return pixels;
    default:  // the 4:2:2 layouts, and what cannot be told
      return pixels * 2;
  }
}

}  // namespace

int64_t BytesPerSecond(int recordFormat, int subtype, int width, int height, int fps, bool sound) {
  if (recordFormat == 1) return kWmvBytesPerSecond;
  const int64_t rate = fps > 0 ? fps : 30;
  return BytesPerFrame(subtype, width, height) * rate + (sound ? kPcmBytesPerSecond : 0);
}

int64_t FinishReserve(int64_t bytesPerSecond, int64_t elapsedSeconds, int fps, bool sound) {
  const int64_t chunksPerSecond = (fps > 0 ? fps : 30) + (sound ? kSoundChunksPerSecond : 0);
  const int64_t seconds = std::max<int64_t>(elapsedSeconds, 0) + kFinishSeconds;
  return bytesPerSecond * kFinishSeconds + seconds * chunksPerSecond * kIndexBytesPerChunk +
         kFixedReserve;
}

bool EnoughToStart(int64_t freeBytes, int64_t bytesPerSecond) {
  return freeBytes < 0 || freeBytes >= bytesPerSecond * kStartSeconds + kFixedReserve;
}

bool RunningOut(int64_t freeBytes, int64_t bytesPerSecond, int64_t elapsedSeconds, int fps,
                bool sound) {
  return freeBytes >= 0 && freeBytes < FinishReserve(bytesPerSecond, elapsedSeconds, fps, sound);
}

}  // namespace recording_space
