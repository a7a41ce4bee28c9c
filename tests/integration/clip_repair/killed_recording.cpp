// Records in a child process with the virtual devices and kills it mid-way.
#include "killed_recording.h"

#include <gst/gst.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "virtual_devices.h"

bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool RecordAndKill(const std::string& pipeline, const std::string& clip, uint64_t minBytes,
                   std::string& why) {
  // The child records in a process of its own, with the virtual devices registered in
  // it (a sanitized build cannot load the plugin module into gst-launch-1.0), until the
  // kill. Nothing of GStreamer runs in this process yet, so the fork copies no thread.
  const pid_t child = ::fork();
  if (child < 0) {
    why = "fork failed";
    return false;
  }
  if (child == 0) {
    virtualcam::RegisterStatic();
    GError* error = nullptr;
    GstElement* p = gst_parse_launch(pipeline.c_str(), &error);
    if (!p || gst_element_set_state(p, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) ::_exit(3);
    for (;;) ::pause();
  }
  // A loaded machine may take long to start; the child is killed once the file is big
  // enough, however long that took.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  bool grown = false;
  int status = 0;
  bool exited = false;
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code ec;
    if (std::filesystem::file_size(clip, ec) >= minBytes && !ec) {
      grown = true;
      break;
    }
    if (::waitpid(child, &status, WNOHANG) == child) {
      exited = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!exited) {
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
  }
  if (!grown) why = exited ? "the recording ended before the kill" : "the clip did not grow";
  return grown;
}
