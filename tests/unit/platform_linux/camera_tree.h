// Fake sysfs and /dev trees of video4linux cameras with snapshot buttons, in a temporary
// folder, and a writer of evdev records standing for the kernel.
#pragma once

#include <fcntl.h>
#include <linux/input.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace ostrel::button_test {

namespace fs = std::filesystem;

class CameraTree {
 public:
  CameraTree() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/ostrel-button-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    fs::create_directories(sysfs() / "class/video4linux");
    fs::create_directories(dev() / "input");
  }
  ~CameraTree() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  CameraTree(const CameraTree&) = delete;
  CameraTree& operator=(const CameraTree&) = delete;

  fs::path sysfs() const { return root_ / "sys"; }
  fs::path dev() const { return root_ / "dev"; }

  // The interface folder of USB device usb (e.g. "1-1"), interface 0, bound to driver
  // when given, with video node videoN under it as the kernel lays it out.
  fs::path AddCamera(const std::string& usb, const std::string& video,
                     const std::string& driver = "uvcvideo") {
    const fs::path interface = sysfs() / "devices/pci0000:00/usb1" / usb / (usb + ":1.0");
    fs::create_directories(interface / "video4linux" / video);
    fs::create_directory_symlink("../..", interface / "video4linux" / video / "device");
    fs::create_directory_symlink(interface / "video4linux" / video,
                                 sysfs() / "class/video4linux" / video);
    if (!driver.empty()) {
      fs::create_directories(sysfs() / "bus/usb/drivers" / driver);
      fs::create_directory_symlink(sysfs() / "bus/usb/drivers" / driver, interface / "driver");
    }
    std::ofstream(dev() / video) << "";
    return interface;
  }

  // The USB device's descriptor attributes, above an interface AddCamera gave.
  static void SetUsbIds(const fs::path& interface, const std::string& vendor,
                        const std::string& product, const std::string& serial) {
    std::ofstream(interface.parent_path() / "idVendor") << vendor << "\n";
    std::ofstream(interface.parent_path() / "idProduct") << product << "\n";
    if (!serial.empty()) std::ofstream(interface.parent_path() / "serial") << serial << "\n";
  }

  // A video node with no device behind it, as a loopback camera has.
  void AddVirtualNode(const std::string& video) {
    fs::create_directories(sysfs() / "devices/virtual/video4linux" / video);
    fs::create_directory_symlink(sysfs() / "devices/virtual/video4linux" / video,
                                 sysfs() / "class/video4linux" / video);
  }

  // An input device of the interface with event node event (e.g. "event5").
  static void AddInput(const fs::path& interface, const std::string& input,
                       const std::string& event) {
    fs::create_directories(interface / "input" / input / event);
    std::ofstream(interface / "input" / input / "name") << "UVC Camera\n";
  }

  // <dev>/input/<event> as a FIFO that a test writes records into.
  std::string MakeEventFifo(const std::string& event) const {
    const std::string path = (dev() / "input" / event).string();
    if (::mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
    return path;
  }

 private:
  fs::path root_;
};

// The kernel's side of an event device: writes input_event records into a FIFO.
class EventWriter {
 public:
  // The watcher must have opened the FIFO already: without a reader this fails.
  explicit EventWriter(const std::string& fifo)
      : fd_(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error("nobody reads " + fifo);
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  }
  ~EventWriter() { Close(); }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  void Key(int code, int value) {
    Event(EV_KEY, code, value);
    Event(EV_SYN, SYN_REPORT, 0);
  }
  void Press() { Key(KEY_CAMERA, 1); }
  void Release() { Key(KEY_CAMERA, 0); }
  void Event(int type, int code, int value) {
    input_event e{};
    e.type = static_cast<__u16>(type);
    e.code = static_cast<__u16>(code);
    e.value = value;
    Write(&e, sizeof e);
  }
  void Write(const void* data, size_t size) {
    if (::write(fd_, data, size) != static_cast<ssize_t>(size))
      throw std::runtime_error("short write");
  }

 private:
  int fd_;
};

}  // namespace ostrel::button_test
