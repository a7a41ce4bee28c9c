// How much room a recording needs on its disk: its first seconds before it starts, and,
// while it runs, enough left to finish its file (the data on its way, the index and the
// headers) when it is stopped.
#pragma once

#include <cstdint>

namespace recording_space {

// Seconds of recording a folder must have room for before a recording starts.
constexpr int kStartSeconds = 5;
// Seconds of data still arriving while a stop finishes the file (the stop waits up to
// about 3 s for the file's end) plus a timer tick or two before the stop begins.
constexpr int kFinishSeconds = 4;

// The bytes a second of recording takes, estimated high: the capture format as it is for
// an AVI (recordFormat 0), the encoders' most for a WMV (1); the subtype codes are the
// frame's (1 UYVY ... 7 MJPG).
int64_t BytesPerSecond(int recordFormat, int subtype, int width, int height, int fps, bool sound);

// What finishing a file that has been recorded for so long needs.
int64_t FinishReserve(int64_t bytesPerSecond, int64_t elapsedSeconds, int fps, bool sound);

// A free space of -1 (unknown) never stops a recording.
bool EnoughToStart(int64_t freeBytes, int64_t bytesPerSecond);
bool RunningOut(int64_t freeBytes, int64_t bytesPerSecond, int64_t elapsedSeconds, int fps,
                bool sound);

}  // namespace recording_space
