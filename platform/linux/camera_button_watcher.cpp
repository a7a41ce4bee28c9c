// CameraButtonWatcher: poll() over the event devices and a wake-up pipe.
#include "platform/linux/camera_button_watcher.h"

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace platform {

namespace {

int OpenForReading(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

std::string WhyUnavailable(const std::string& path, int error) {
  std::string text = "Ostrel: the camera's snapshot button is not available: cannot open " + path +
                     ": " + std::strerror(error) + ".";
  if (error == EACCES || error == EPERM)
    text +=
        " Membership of the group \"input\" grants it, or the udev rule "
        "70-ostrel-camera-button.rules (TAG+=\"uaccess\") that Ostrel installs, once it "
        "applies (plug the camera in again, or run \"udevadm trigger\").";
  return text;
}

}  // namespace

OnceNotice& ButtonUnavailableNotice() {
  static OnceNotice notice([](const std::string& text) { std::cerr << text << std::endl; });
  return notice;
}

CameraButtonWatcher::CameraButtonWatcher(const std::vector<std::string>& eventDevices,
                                         std::function<void()> onPress, OnceNotice& notice,
                                         Opener open)
    : onPress_(std::move(onPress)) {
  if (!open) open = OpenForReading;
  for (const std::string& path : eventDevices) {
    const int fd = open(path);
    if (fd < 0) {
      notice.Say(WhyUnavailable(path, errno));
      continue;
    }
    // Reading drains each device until it would block.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    watched_.push_back(Device{fd, {}});
  }
  if (watched_.empty()) return;
  if (::pipe2(wake_, O_CLOEXEC) != 0) {
    notice.Say(WhyUnavailable("a wake-up pipe", errno));
    for (Device& d : watched_) ::close(d.fd);
    watched_.clear();
    return;
  }
  thread_ = std::thread([this] { Run(); });
}

CameraButtonWatcher::~CameraButtonWatcher() {
  if (thread_.joinable()) {
    const char stop = 1;
    while (::write(wake_[1], &stop, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
  }
  for (int fd : wake_)
    if (fd >= 0) ::close(fd);
  for (Device& d : watched_)
    if (d.fd >= 0) ::close(d.fd);
}

void CameraButtonWatcher::Run() {
  for (;;) {
    std::vector<pollfd> fds{{wake_[0], POLLIN, 0}};
    std::vector<Device*> devices;
    for (Device& d : watched_) {
      if (d.fd < 0) continue;
      fds.push_back({d.fd, POLLIN, 0});
      devices.push_back(&d);
    }
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[0].revents) return;
    for (size_t i = 1; i < fds.size(); ++i) {
      if (!fds[i].revents) continue;
      Device& d = *devices[i - 1];
      if (!ReadEvents(d)) {
        ::close(d.fd);
        d.fd = -1;
      }
    }
  }
}

bool CameraButtonWatcher::ReadEvents(Device& device) {
  char buffer[64 * sizeof(input_event)];
  for (;;) {
    const ssize_t n = ::read(device.fd, buffer, sizeof buffer);
    if (n == 0) return false;
    if (n < 0) return errno == EAGAIN || errno == EINTR;  // ENODEV: unplugged
    device.pending.append(buffer, static_cast<size_t>(n));
    size_t used = 0;
    while (device.pending.size() - used >= sizeof(input_event)) {
      input_event event;
      std::memcpy(&event, device.pending.data() + used, sizeof event);
      used += sizeof event;
      if (event.type == EV_KEY && event.code == KEY_CAMERA && event.value == 1) onPress_();
    }
    device.pending.erase(0, used);
  }
}

}  // namespace platform
