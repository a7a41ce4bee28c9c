// Configures the virtual cameras and microphones that the ostrelvirtual plugin lists.
#pragma once

#include <string>
#include <vector>

namespace virtualcam {

// One capture format: fourcc is "YUY2", "UYVY", "I420", "RGB24", "RGB32" or "MJPG".
struct Format {
  std::string fourcc;
  int width = 0;
  int height = 0;
  int fps = 0;
};

// The formats a camera offers unless told otherwise; the first is its default.
std::vector<Format> DefaultFormats();

struct CameraSpec {
  std::string name = "Ostrel Virtual Camera";
  bool failsToStart = false;       // the source fails to start and posts an error
  bool refusesFrameRate = false;   // offers only its formats' own rates (otherwise 1..60)
  bool refusesFormat = false;      // offers only its first format
  bool hasStillPin = true;         // no "still" pad at all when false
  bool hasPictureControls = true;  // no colour balance and no picture properties when false
  bool nameUnreadable = false;     // the device's display name is empty
  bool topDown = false;            // RGB formats are reported top-down
  // Fewer frames than the format says (a camera starved of light or bandwidth): this many
  // frames in each second of the format's rate, stamped at their real times; 0 = all.
  int deliveredFps = 0;
  // Unplugged while streaming: after this many frames the source posts an error (the
  // device is gone) and ends its stream; 0 = never.
  int unplugAfterFrames = 0;
  // Stamps its frames by a clock of its own that started this many seconds before the
  // graph's (as PipeWire's or a camera's own clock does); 0 = the graph's running time.
  int clockAheadSeconds = 0;
  // Delivers nothing for stallMs milliseconds once, after stallAfterFrames frames (a
  // camera that hangs for a moment); its later frames are stamped at their real times.
  int stallAfterFrames = 0;
  int stallMs = 0;
  // The stall holds the frames back instead: they keep the times they were made at and
  // come late, all at once (as from a queue behind a busy writer).
  bool stallKeepsTimes = false;
  std::vector<Format> formats = DefaultFormats();  // empty means DefaultFormats()
};

struct MicrophoneSpec {
  std::string name = "Ostrel Virtual Microphone";
  bool nameUnreadable = false;
  bool failsToStart = false;  // the source fails to start and posts an error
};

// Registers the plugin in this process (idempotent) and replaces the device list.
// Throws std::invalid_argument for a format it cannot make.
void Configure(std::vector<CameraSpec> cameras, std::vector<MicrophoneSpec> microphones);

// Registers the plugin statically in this process; idempotent. Initialises GStreamer
// when the caller has not.
void RegisterStatic();

// The camera's own button: each running source of that camera pushes one still frame.
void PressSnapshotButton(int cameraIndex);

}  // namespace virtualcam
