// Which copies of the devices a desktop's providers report are listed.
#include "capture/device_listing.h"

#include <gtest/gtest.h>

namespace {

using media::DeviceDescription;
using Provider = DeviceDescription::Provider;

DeviceDescription Camera(Provider p, const char* node) {
  DeviceDescription d;
  d.provider = p;
  d.node = node;
  return d;
}
DeviceDescription Sound(Provider p, const char* card, const char* name) {
  DeviceDescription d;
  d.provider = p;
  d.card = card;
  d.soundName = name;
  return d;
}
DeviceDescription With(DeviceDescription d, bool monitor, bool stream, bool hasSourcePad) {
  d.monitor = monitor;
  d.stream = stream;
  d.hasSourcePad = hasSourcePad;
  return d;
}

struct ListingCase {
  const char* name;
  std::vector<DeviceDescription> devices;
  std::vector<size_t> listed;
};

class DeviceListingTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(DeviceListingTest, ListsEachDeviceOnce) {
  EXPECT_EQ(capture::DevicesToList(GetParam().devices), GetParam().listed);
}

const DeviceDescription kPwCam = Camera(Provider::PipeWire, "/dev/video0");
const DeviceDescription kV4l2Cam = Camera(Provider::V4l2, "/dev/video0");
const DeviceDescription kPulseMic = Sound(Provider::Pulse, "0", "alsa_input.pci-0000_00_1f.3");
const DeviceDescription kPwMic = Sound(Provider::PipeWire, "0", "alsa_input.pci-0000_00_1f.3");
const DeviceDescription kAlsaMic = Sound(Provider::Alsa, "0", "");

INSTANTIATE_TEST_SUITE_P(
    Desktops, DeviceListingTest,
    ::testing::Values(
        ListingCase{"CameraThroughV4l2NotItsPipeWireCopy", {kPwCam, kV4l2Cam}, {1}},
        ListingCase{
            "CameraOnlyPipeWireSees", {kPwCam, Camera(Provider::V4l2, "/dev/video2")}, {0, 1}},
        ListingCase{
            "PipeWireCameraWithoutNode", {Camera(Provider::PipeWire, ""), kV4l2Cam}, {0, 1}},
        ListingCase{"TwoV4l2Cameras", {kV4l2Cam, Camera(Provider::V4l2, "/dev/video2")}, {0, 1}},
        ListingCase{"SoundServerOverAlsa", {kAlsaMic, kPulseMic, kPwMic}, {1}},
        ListingCase{"PipeWireAloneOverAlsa", {kAlsaMic, kPwMic}, {1}},
        ListingCase{"AlsaCardNoServerHas", {kAlsaMic, Sound(Provider::Pulse, "1", "usb")}, {0, 1}},
        ListingCase{"AlsaAlone", {kAlsaMic}, {0}},
        ListingCase{"NoMonitorsStreamsOrSinks",
                    {With(kPulseMic, true, false, true), With(kPwMic, false, true, true),
                     With(Sound(Provider::PipeWire, "", "mic"), false, false, false),
                     Sound(Provider::Pulse, "", "mic")},
                    {3}},
        // A copy that is left out for another reason does not push out the real one.
        ListingCase{
            "UnusableCopyKeepsTheOther", {With(kPulseMic, true, false, true), kAlsaMic}, {1}},
        ListingCase{"VirtualDevicesStay", {DeviceDescription{}, DeviceDescription{}}, {0, 1}}),
    [](const ::testing::TestParamInfo<ListingCase>& info) { return std::string(info.param.name); });

}  // namespace
