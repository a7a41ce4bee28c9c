// Small helpers for the virtual camera tests: pipelines, samples, bus messages, and a
// reader for the frame counter the camera draws.
#pragma once

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <string>
#include <vector>

namespace vctest {

// A pipeline from a launch description, unreffed (and stopped) at scope end.
class Pipeline {
 public:
  explicit Pipeline(const std::string& description);
  ~Pipeline();
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  GstElement* get() const { return pipeline_; }
  GstElement* byName(const char* name) const;  // borrowed
  GstStateChangeReturn play();
  // The first error on the bus within the timeout, or "" when none came.
  std::string waitForError(int timeoutMs);
  std::string parseError() const { return parseError_; }

 private:
  GstElement* pipeline_ = nullptr;
  std::string parseError_;
};

// Pulls one sample from an appsink, or nullptr after the timeout.
GstSample* Pull(GstElement* appsink, int timeoutMs);

// Reads the six-digit counter from a GRAY8 frame; -1 when the digits are not legible.
long ReadCounter(GstSample* gray8);

}  // namespace vctest
