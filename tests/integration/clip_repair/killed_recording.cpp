// Starts gst-launch-1.0 in a child process with the virtual camera's plugin on its path.
#include "killed_recording.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool RecordAndKill(const std::string& pipeline, const std::string& clip, uint64_t minBytes,
                   std::string& why) {
  std::vector<std::string> args{"gst-launch-1.0", "-q"};
  std::istringstream words(pipeline);
  for (std::string w; words >> w;) args.push_back(w);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string pluginPath = std::string("GST_PLUGIN_PATH=") + OSTREL_VIRTUAL_PLUGIN_DIR;

  const pid_t child = ::fork();
  if (child < 0) {
    why = "fork failed";
    return false;
  }
  if (child == 0) {
    ::putenv(const_cast<char*>(pluginPath.c_str()));
    ::execvp(argv[0], argv.data());
    ::_exit(127);
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
  if (!grown) why = exited ? "gst-launch-1.0 ended before the kill" : "the clip did not grow";
  return grown;
}
