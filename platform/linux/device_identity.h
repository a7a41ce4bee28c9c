// Names of capture devices that stay the same when a device is plugged in again, found
// through sysfs: the node numbers and card numbers the kernel hands out do not.
#pragma once

#include <string>

namespace platform {

// The identity of the camera whose node is videoNode ("/dev/video0"):
// "usb:vvvv:pppp:<serial>/<interface>" for a USB camera with a serial number; else
// "v4l-by-id:<name>" for the /dev/v4l/by-id link that names the node; else
// "usb:vvvv:pppp@<port>/<interface>" for a USB camera without either (the port it is
// plugged into); else "v4l2:<node>". Empty for an empty node.
std::string CameraIdentity(const std::string& videoNode, const std::string& sysfsRoot = "/sys",
                           const std::string& devRoot = "/dev");

// "alsa:<id>" for the sound card numbered card ("0"), by the card's id ("PCH"), or
// "alsa:<card>" when sysfs does not tell it. Empty for an empty card.
std::string SoundCardIdentity(const std::string& card, const std::string& sysfsRoot = "/sys");

}  // namespace platform
