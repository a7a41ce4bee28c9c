// The virtual microphone gives a stereo 16-bit tone.
#include <gtest/gtest.h>

#include <gst/audio/audio.h>

#include <cstdlib>

#include "pipeline_helpers.h"
#include "virtual_devices.h"

namespace {

TEST(VirtualMicrophone, GivesAnAudibleStereoTone) {
  virtualcam::Configure({}, {virtualcam::MicrophoneSpec{}});
  vctest::Pipeline p("ostrelvirtualmicsrc ! appsink name=out sync=false");
  ASSERT_NE(p.play(), GST_STATE_CHANGE_FAILURE);
  GstSample* s = vctest::Pull(p.byName("out"), 3000);
  ASSERT_NE(s, nullptr);
  GstAudioInfo info;
  ASSERT_TRUE(gst_audio_info_from_caps(&info, gst_sample_get_caps(s)));
  EXPECT_EQ(GST_AUDIO_INFO_FORMAT(&info), GST_AUDIO_FORMAT_S16LE);
  EXPECT_EQ(GST_AUDIO_INFO_CHANNELS(&info), 2);
  EXPECT_TRUE(GST_AUDIO_INFO_RATE(&info) == 48000 || GST_AUDIO_INFO_RATE(&info) == 44100);
  GstMapInfo map;
  ASSERT_TRUE(gst_buffer_map(gst_sample_get_buffer(s), &map, GST_MAP_READ));
  int peak = 0;
  const auto* samples = reinterpret_cast<const int16_t*>(map.data);
  for (size_t i = 0; i < map.size / 2; ++i) peak = std::max(peak, std::abs(int{samples[i]}));
  EXPECT_GT(peak, 1000);
  gst_buffer_unmap(gst_sample_get_buffer(s), &map);
  gst_sample_unref(s);
}

}  // namespace
