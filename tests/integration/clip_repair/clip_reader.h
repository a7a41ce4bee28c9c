// A clip read back by the two outside readers: ffprobe and GStreamer's decodebin.
#pragma once

#include <cstdint>
#include <string>

struct FfprobeView {
  bool read = false;
  int64_t headerFrames = -1;  // what the headers say; -1 when they say nothing
  int64_t videoFrames = 0;    // frames ffprobe read
  double headerDuration = 0;  // the video stream's duration in its header, seconds
  bool hasAudio = false;
  int64_t audioPackets = 0;
};
FfprobeView ReadWithFfprobe(const std::string& clip);

struct GstView {
  bool read = false;
  int64_t videoFrames = 0;
  double duration = 0;       // what the pipeline reports once prerolled (the longest stream)
  double videoDuration = 0;  // the end of the last video frame, seconds
  double audioEnd = 0;       // the end of the last sound buffer, seconds
  bool hasAudio = false;
  std::string error;
};
GstView ReadWithGstreamer(const std::string& clip);
