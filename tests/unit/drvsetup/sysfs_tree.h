// Builds fake sysfs trees of USB devices in a temporary folder, for drvsetup's tests.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace ostrel::drvsetup_test {

class SysfsTree {
 public:
  SysfsTree() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/drvsetup-sysfs-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    std::filesystem::create_directories(devices_dir());
    std::filesystem::create_directories(root_ / "bus/usb/drivers");
  }
  ~SysfsTree() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  SysfsTree(const SysfsTree&) = delete;
  SysfsTree& operator=(const SysfsTree&) = delete;

  std::string root() const { return root_.string(); }
  std::filesystem::path path() const { return root_; }
  std::filesystem::path devices_dir() const { return root_ / "bus/usb/devices"; }
  std::filesystem::path driver_dir(const std::string& driver) const {
    return root_ / "bus/usb/drivers" / driver;
  }

  // A device folder elsewhere in the tree, linked from bus/usb/devices as on a real machine.
  void AddDevice(const std::string& name, const std::string& vendor, const std::string& product,
                 const std::string& revision = "0100") {
    std::filesystem::path dir = root_ / "devices/pci0000:00/usb1" / name;
    std::filesystem::create_directories(dir);
    Write(dir / "idVendor", vendor + "\n");
    Write(dir / "idProduct", product + "\n");
    Write(dir / "bcdDevice", revision + "\n");
    Write(dir / "remove", "");
    std::filesystem::create_directory_symlink(dir, devices_dir() / name);
  }

  // An interface "<device>:1.<number>", bound to driver unless that is empty.
  void AddInterface(const std::string& device, int number, const std::string& driver = "") {
    const std::string name = InterfaceName(device, number);
    std::filesystem::path dir = root_ / "devices/pci0000:00/usb1" / device / name;
    std::filesystem::create_directories(dir);
    char hex[8];
    std::snprintf(hex, sizeof(hex), "%02x\n", number);
    Write(dir / "bInterfaceNumber", hex);
    std::filesystem::create_directory_symlink(dir, devices_dir() / name);
    if (!driver.empty()) Bind(name, driver);
  }

  void AddDriver(const std::string& driver) {
    std::filesystem::path dir = driver_dir(driver);
    std::filesystem::create_directories(dir);
    for (const char* attribute : {"bind", "unbind", "new_id"}) {
      if (!std::filesystem::exists(dir / attribute)) Write(dir / attribute, "");
    }
  }

  void Bind(const std::string& interface_name, const std::string& driver) {
    AddDriver(driver);
    std::filesystem::create_directory_symlink(driver_dir(driver),
                                              devices_dir() / interface_name / "driver");
  }

  static std::string InterfaceName(const std::string& device, int number) {
    return device + ":1." + std::to_string(number);
  }

  static void Write(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + file.string());
  }

  // The text of a file; "<missing>" when there is none.
  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::filesystem::path root_;
};

}  // namespace ostrel::drvsetup_test
