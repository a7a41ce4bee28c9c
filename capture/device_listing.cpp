// The choice among the copies of a device that several providers list.
#include "capture/device_listing.h"

namespace capture {
namespace {

using Provider = media::DeviceDescription::Provider;

bool IsSoundServer(Provider p) { return p == Provider::Pulse || p == Provider::PipeWire; }

// True when `other`, also listed, is the better copy of the same device as `d`.
bool BetterCopy(const media::DeviceDescription& d, const media::DeviceDescription& other) {
  if (!d.node.empty() && d.node == other.node)
    return d.provider == Provider::PipeWire && other.provider != Provider::PipeWire;
  if (!d.card.empty() && d.card == other.card && d.provider == Provider::Alsa)
    return IsSoundServer(other.provider);
  if (!d.soundName.empty() && d.soundName == other.soundName)
    return d.provider == Provider::PipeWire && other.provider == Provider::Pulse;
  return false;
}

bool Captures(const media::DeviceDescription& d) {
  return d.hasSourcePad && !d.monitor && !d.stream;
}

}  // namespace

std::vector<size_t> DevicesToList(const std::vector<media::DeviceDescription>& devices) {
  std::vector<size_t> listed;
  for (size_t i = 0; i < devices.size(); ++i) {
    if (!Captures(devices[i])) continue;
    bool superseded = false;
    for (size_t j = 0; j < devices.size() && !superseded; ++j)
      superseded = j != i && Captures(devices[j]) && BetterCopy(devices[i], devices[j]);
    if (!superseded) listed.push_back(i);
  }
  return listed;
}

}  // namespace capture
