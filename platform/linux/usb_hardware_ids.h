// The hardware IDs a USB device or interface carries, built from its sysfs attributes.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ostrel {

// The descriptor values behind a USB record's hardware IDs.
struct UsbIdentity {
  unsigned vendor = 0;
  unsigned product = 0;
  unsigned revision = 0;
  std::optional<unsigned> interface_number;  // set for an interface record
};

// Most specific first: USB\VID_vvvv&PID_pppp&REV_rrrr, USB\VID_vvvv&PID_pppp, each
// with &MI_nn for an interface. Hex in upper case.
std::vector<std::string> UsbHardwareIds(const UsbIdentity& identity);

// The value of a sysfs hex attribute such as idVendor ("1d3c\n"): exactly digits hex
// digits, surrounding white space allowed. Anything else is no value.
std::optional<unsigned> ParseSysfsHex(const std::string& text, std::size_t digits);

// Reads the identity of the record named name ("1-1" or "1-1:1.0") under the
// bus/usb/devices folder; nullopt when an attribute is missing or garbage.
std::optional<UsbIdentity> ReadUsbIdentity(const std::string& devices_dir, const std::string& name);

}  // namespace ostrel
