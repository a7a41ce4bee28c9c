// Command ids and popup positions of the main menu bar (menu resource 128).
#pragma once

#include <cstdint>

namespace menu_id {

// File popup.
constexpr uint32_t kSetCaptureFolder = 32771;
constexpr uint32_t kSetSnapshotFolder = 32776;
constexpr uint32_t kResetFileNumbers = 32780;
constexpr uint32_t kAppExit = 57665;
// Option popup.
constexpr uint32_t kPreview = 32773;
// Preview popup.
constexpr uint32_t kVideoSizeSetting = 32813;
// Capture popup.
constexpr uint32_t kStartStopCapture = 32774;
constexpr uint32_t kFormatAvi = 32784;
constexpr uint32_t kFormatWmv = 32785;
constexpr uint32_t kSnapshot = 32775;
constexpr uint32_t kRecordAudio = 32777;
constexpr uint32_t kSetFrameRate = 32778;
constexpr uint32_t kRecordTimeLimit = 32779;
// Still-size items, indexed by still size; size 6 has no item (0).
constexpr uint32_t kStillSize[11] = {32794, 32797, 32798, 32799, 32791, 32792,
                                     0,     32800, 32801, 32802, 32803};
// Help popup.
constexpr uint32_t kAppAbout = 57664;

// Items the program appends at run time.
constexpr uint32_t kFirstDevice = 16;  // device items use 16..25
constexpr uint32_t kLastDevice = 25;
constexpr uint32_t kVideoFilterProperties = 40;
constexpr uint32_t kVideoPinProperties = 41;
constexpr uint32_t kAudioFilterProperties = 42;

}  // namespace menu_id

namespace menu_pos {

// Popups on the bar.
constexpr int kFile = 0;
constexpr int kDevice = 1;
constexpr int kOption = 2;
constexpr int kPreview = 3;
constexpr int kCapture = 4;
constexpr int kHelp = 5;
// Popups inside the Capture popup.
constexpr int kVideoFormat = 1;
constexpr int kStillSize = 4;

}  // namespace menu_pos
