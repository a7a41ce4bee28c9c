// Watching a camera's snapshot button: evdev key events read on a thread of its own.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace platform {

// A message that is said once, however many times it is raised.
class OnceNotice {
 public:
  explicit OnceNotice(std::function<void(const std::string&)> write) : write_(std::move(write)) {}
  void Say(const std::string& text) {
    if (!said_.exchange(true)) write_(text);
  }

 private:
  std::function<void(const std::string&)> write_;
  std::atomic<bool> said_{false};
};

// The process's notice that the button cannot be read, on the error stream.
OnceNotice& ButtonUnavailableNotice();

class CameraButtonWatcher {
 public:
  // Opens an event device for reading without blocking; -1 with errno set on failure.
  using Opener = std::function<int(const std::string& path)>;

  // Opens eventDevices now and reads them until destroyed; onPress runs on the watcher's
  // thread for every press (KEY_CAMERA, value 1). A device that cannot be opened is
  // skipped and notice says why, and what would grant it.
  CameraButtonWatcher(const std::vector<std::string>& eventDevices, std::function<void()> onPress,
                      OnceNotice& notice = ButtonUnavailableNotice(), Opener open = {});
  // Stops and joins the thread: onPress is not running once this returns.
  ~CameraButtonWatcher();
  CameraButtonWatcher(const CameraButtonWatcher&) = delete;
  CameraButtonWatcher& operator=(const CameraButtonWatcher&) = delete;

  // How many of the devices were opened.
  size_t Watching() const { return watched_.size(); }

 private:
  struct Device {
    int fd;
    std::string pending;  // part of a record that a pipe delivered in pieces
  };
  void Run();
  // False when the device has ended (unplugged, or its writer closed).
  bool ReadEvents(Device& device);

  std::vector<Device> watched_;
  std::function<void()> onPress_;
  int wake_[2] = {-1, -1};  // a byte on wake_[1] stops the thread
  std::thread thread_;
};

}  // namespace platform
