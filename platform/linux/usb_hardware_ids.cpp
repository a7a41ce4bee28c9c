// The hardware IDs a USB device or interface carries, built from its sysfs attributes.
#include "platform/linux/usb_hardware_ids.h"

#include <cstdio>

#include "platform/linux/sysfs_attribute.h"

namespace ostrel {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<unsigned> ReadHex(const std::string& path, std::size_t digits) {
  std::optional<std::string> text = ReadSysfsAttribute(path);
  if (!text) return std::nullopt;
  return ParseSysfsHex(*text, digits);
}

}  // namespace

std::vector<std::string> UsbHardwareIds(const UsbIdentity& identity) {
  char with_revision[64];
  char without_revision[64];
  std::snprintf(with_revision, sizeof(with_revision), "USB\\VID_%04X&PID_%04X&REV_%04X",
                identity.vendor, identity.product, identity.revision);
  std::snprintf(without_revision, sizeof(without_revision), "USB\\VID_%04X&PID_%04X",
                identity.vendor, identity.product);
  std::vector<std::string> ids = {with_revision, without_revision};
  if (identity.interface_number) {
    char suffix[16];
    std::snprintf(suffix, sizeof(suffix), "&MI_%02X", *identity.interface_number);
    for (std::string& id : ids) id += suffix;
  }
  return ids;
}

std::optional<unsigned> ParseSysfsHex(const std::string& text, std::size_t digits) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  if (end - begin != digits) return std::nullopt;
  unsigned value = 0;
  for (std::size_t i = begin; i < end; ++i) {
    int digit = HexValue(text[i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return value;
}

std::optional<UsbIdentity> ReadUsbIdentity(const std::string& devices_dir,
                                           const std::string& name) {
  // An interface "<dev>:<cfg>.<n>" takes the descriptor values of its device "<dev>".
  std::string::size_type colon = name.find(':');
  const std::string device_dir = devices_dir + "/" + name.substr(0, colon);
  std::optional<unsigned> vendor = ReadHex(device_dir + "/idVendor", 4);
  std::optional<unsigned> product = ReadHex(device_dir + "/idProduct", 4);
  std::optional<unsigned> revision = ReadHex(device_dir + "/bcdDevice", 4);
  if (!vendor || !product || !revision) return std::nullopt;
  UsbIdentity identity{*vendor, *product, *revision, std::nullopt};
  if (colon != std::string::npos) {
    identity.interface_number = ReadHex(devices_dir + "/" + name + "/bInterfaceNumber", 2);
    if (!identity.interface_number) return std::nullopt;
  }
  return identity;
}

}  // namespace ostrel
