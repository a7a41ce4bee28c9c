// Reads a recorded clip back the way a user's player does: with ffprobe and through
// GStreamer's uridecodebin, stream by stream.
#pragma once

#include <string>
#include <vector>

struct ProbedStream {
  std::string type;   // "video" or "audio"
  std::string codec;  // ffprobe's codec name; GStreamer: the decoded caps' name
  long frames = 0;    // frames decoded (for sound: packets or buffers)
  double start = -1;  // seconds: the first frame's time
  double end = -1;    // seconds: the last frame's time plus its duration
};

struct ProbedClip {
  bool ok = false;
  std::string error;
  std::vector<ProbedStream> streams;  // ffprobe: in file order; GStreamer: video first

  const ProbedStream* Find(const std::string& type) const {
    for (const auto& s : streams)
      if (s.type == type) return &s;
    return nullptr;
  }
};

ProbedClip ProbeWithFfprobe(const std::string& path);
// Decodes the whole clip; gives up after timeoutSeconds.
ProbedClip ProbeWithGStreamer(const std::string& path, int timeoutSeconds = 60);

// The video frame rate the clip's headers give, as gst-discoverer-1.0 reads it; 0 when
// it reads none.
double DiscoveredFrameRate(const std::string& path);
// The lines in which ffmpeg, copying the clip's packets, finds timestamps out of order.
int TimestampComplaints(const std::string& path);
// What a shell command writes on its standard output.
std::string CommandOutput(const std::string& command);
