// CameraIdentity: /sys/class/video4linux/videoN/device -> the USB device's idVendor,
// idProduct and serial; SoundCardIdentity: /sys/class/sound/cardN/id.
#include "platform/linux/device_identity.h"

#include <filesystem>
#include <fstream>

namespace platform {

namespace fs = std::filesystem;

namespace {

// The attribute's first line without its trailing white space; empty when missing.
std::string Attribute(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t'))
    line.pop_back();
  return line;
}

// The /dev/v4l/by-id link that resolves to node, or empty.
std::string ByIdName(const fs::path& node, const fs::path& devRoot) {
  std::error_code ec;
  for (fs::directory_iterator it(devRoot / "v4l/by-id", ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code linkEc;
    if (fs::canonical(it->path(), linkEc) == node && !linkEc) return it->path().filename().string();
  }
  return {};
}

}  // namespace

std::string CameraIdentity(const std::string& videoNode, const std::string& sysfsRoot,
                           const std::string& devRoot) {
  if (videoNode.empty()) return {};
  std::error_code ec;
  fs::path node = fs::canonical(videoNode, ec);
  if (ec) node = videoNode;
  const std::string name = node.filename().string();

  // The interface the node hangs under, and the USB device above it.
  const fs::path interface =
      fs::canonical(fs::path(sysfsRoot) / "class/video4linux" / name / "device", ec);
  fs::path usb;
  if (!ec) {
    const fs::path top = fs::canonical(sysfsRoot, ec);
    for (fs::path p = interface; !ec && !p.empty() && p != top && p != p.root_path();
         p = p.parent_path()) {
      if (fs::exists(p / "idVendor", ec) && fs::exists(p / "idProduct", ec)) {
        usb = p;
        break;
      }
    }
  }
  // Interfaces are named <port>:<config>.<interface>; a device may have two cameras.
  const std::string interfaceName = interface.filename().string();
  const size_t colon = interfaceName.find(':');
  const std::string suffix =
      colon == std::string::npos ? "" : "/" + interfaceName.substr(colon + 1);
  std::string ids;
  if (!usb.empty()) {
    ids = "usb:" + Attribute(usb / "idVendor") + ":" + Attribute(usb / "idProduct");
    const std::string serial = Attribute(usb / "serial");
    if (!serial.empty()) return ids + ":" + serial + suffix;
  }
  const std::string byId = ByIdName(node, devRoot);
  if (!byId.empty()) return "v4l-by-id:" + byId;
  if (!usb.empty()) return ids + "@" + usb.filename().string() + suffix;
  return "v4l2:" + videoNode;
}

std::string SoundCardIdentity(const std::string& card, const std::string& sysfsRoot) {
  if (card.empty()) return {};
  const std::string id = Attribute(fs::path(sysfsRoot) / "class/sound" / ("card" + card) / "id");
  return "alsa:" + (id.empty() ? card : id);
}

}  // namespace platform
