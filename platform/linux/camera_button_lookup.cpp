// CameraButtonEventDevices: /sys/class/video4linux/videoN/device -> input/input*/event*.
#include "platform/linux/camera_button_lookup.h"

#include <algorithm>
#include <filesystem>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr char kUvcDriver[] = "uvcvideo";

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The names of the entries of folder that start with prefix; none when it is unreadable.
std::vector<std::string> EntriesStartingWith(const fs::path& folder, const char* prefix) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (StartsWith(name, prefix)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::vector<std::string> CameraButtonEventDevices(const std::string& videoNode,
                                                  const std::string& sysfsRoot,
                                                  const std::string& devRoot) {
  // /dev/v4l/by-id/... names the same node through a link.
  std::error_code ec;
  fs::path node = fs::canonical(videoNode, ec);
  if (ec) node = videoNode;
  const std::string name = node.filename().string();
  if (!StartsWith(name, "video")) return {};

  const fs::path interface =
      fs::canonical(fs::path(sysfsRoot) / "class/video4linux" / name / "device", ec);
  if (ec) return {};  // no device behind the node: a loopback or virtual camera
  const fs::path driver = fs::read_symlink(interface / "driver", ec);
  if (ec || driver.filename() != kUvcDriver) return {};

  std::vector<std::string> devices;
  for (const std::string& input : EntriesStartingWith(interface / "input", "input")) {
    for (const std::string& event : EntriesStartingWith(interface / "input" / input, "event"))
      devices.push_back((fs::path(devRoot) / "input" / event).string());
  }
  std::sort(devices.begin(), devices.end());
  return devices;
}

}  // namespace platform
