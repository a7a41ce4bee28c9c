// Finding the event device of a UVC camera's snapshot button through sysfs.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The event devices (<devRoot>/input/eventM) of the snapshot button of the camera whose
// node is videoNode ("/dev/video0"). uvcvideo gives the button an input device under the
// camera's VideoControl interface, the folder <sysfsRoot>/class/video4linux/videoN/device
// resolves to: <interface>/input/inputK/eventM. Sorted; empty when the camera has no
// button or is not a UVC camera.
std::vector<std::string> CameraButtonEventDevices(const std::string& videoNode,
                                                  const std::string& sysfsRoot = "/sys",
                                                  const std::string& devRoot = "/dev");

}  // namespace platform
