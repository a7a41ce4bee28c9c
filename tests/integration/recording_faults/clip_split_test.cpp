// A recording longer than one clip may hold goes on in the next numbered clips: each one
// complete, the camera's frame counter running on across every cut with no frame lost
// or repeated, the sound with it. The clip size is lowered for the test.
#include <gst/app/gstappsink.h>

#include <fstream>
#include <sstream>

#include "capture/clip_series.h"
#include "capture/unfinished_clips.h"
#include "platform/gst/stock_filters.h"
#include "recording_fault_fixture.h"
#include "tests/integration/virtualcam/pipeline_helpers.h"

namespace {

// The counters the camera drew on each frame of a clip, in order.
std::vector<long> FrameCounters(const std::string& clip) {
  vctest::Pipeline pipeline("filesrc location=\"" + clip +
                            "\" ! avidemux ! videoconvert ! video/x-raw,format=GRAY8 ! "
                            "appsink name=out sync=false max-buffers=4");
  std::vector<long> counters;
  if (pipeline.play() == GST_STATE_CHANGE_FAILURE) return counters;
  while (GstSample* sample = vctest::Pull(pipeline.byName("out"), 10000)) {
    counters.push_back(vctest::ReadCounter(sample));
    gst_sample_unref(sample);
  }
  return counters;
}

std::string Clip(const std::string& folder, int n) {
  return clip_series::ClipPath(folder, n, "AVI");
}

class ClipSplitTest : public RecordingFaultTest {};

TEST_F(ClipSplitTest, ALongRecordingGoesOnInNumberedClipsWithoutLosingAFrame) {
  // About 18 frames of 320x240 YUY2 with their sound to a clip.
  factory.RegisterFilter(media::clsid::kAviMux, [] { return media::gst::MakeAviMux(3u << 20); });
  Open({});
  std::ofstream(Clip(clips, 2)) << "the user's own";
  // A link that leads nowhere: a clip given its number would be written wherever it points.
  fs::create_symlink(clips + "/elsewhere.AVI", Clip(clips, 4));
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1);
  EXPECT_EQ(frame->m_clipIndex, 1);
  ASSERT_TRUE(TickUntil([&] { return frame->m_clipIndex >= 7; }))
      << "the recording never went on past its fourth clip";
  // The clock's tick moves the clip number on while the recording runs.
  const int whileRecording = frame->m_clipIndex;
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 0);
  EXPECT_TRUE(window.messages.empty()) << window.messages.front().text;
  EXPECT_GE(frame->m_clipIndex, whileRecording);

  // Clip0000, Clip0001, then past the user's file and the link: Clip0003, Clip0005 up to
  // the last one.
  std::vector<std::string> written;
  for (int n = 0; n < frame->m_clipIndex; ++n) {
    if (n == 2 || n == 4) continue;
    written.push_back(Clip(clips, n));
  }
  std::stringstream own;
  own << std::ifstream(Clip(clips, 2)).rdbuf();
  EXPECT_EQ(own.str(), "the user's own");
  EXPECT_TRUE(fs::is_symlink(Clip(clips, 4)));
  EXPECT_FALSE(fs::exists(clips + "/elsewhere.AVI"));
  EXPECT_FALSE(fs::exists(Clip(clips, frame->m_clipIndex)));
  EXPECT_TRUE(unfinished_clips::FindAbandoned(clips, system).empty());
  for (const auto& entry : fs::directory_iterator(clips))
    EXPECT_EQ(entry.path().extension(), ".AVI") << entry.path() << " was left behind";

  std::vector<long> counters;
  double videoSeconds = 0, soundSeconds = 0;
  for (const std::string& clip : written) {
    SCOPED_TRACE(clip);
    ASSERT_TRUE(fs::exists(clip));
    EXPECT_LE(fs::file_size(clip), 3u << 20);
    const long frames = CheckPlayable(clip);
    const std::vector<long> own = FrameCounters(clip);
    EXPECT_EQ(static_cast<long>(own.size()), frames);
    counters.insert(counters.end(), own.begin(), own.end());
    const ProbedClip probed = ProbeWithGStreamer(clip);
    const ProbedStream* video = probed.Find("video");
    const ProbedStream* sound = probed.Find("audio");
    ASSERT_TRUE(video && sound);
    // Each clip starts both streams at 0, and the sound is cut with the picture (to
    // within one of the microphone's buffers).
    EXPECT_NEAR(video->start, 0.0, 0.001);
    EXPECT_NEAR(sound->start, 0.0, 0.001);
    EXPECT_NEAR(sound->end, video->end, 0.1);
    videoSeconds += video->end - video->start;
    soundSeconds += sound->end - sound->start;
  }
  ASSERT_GE(counters.size(), 5u * 15u);
  for (size_t i = 1; i < counters.size(); ++i)
    ASSERT_EQ(counters[i], counters[i - 1] + 1) << "frame " << i << " of the recording";
  EXPECT_NEAR(soundSeconds, videoSeconds, 0.05) << "sound lost or repeated at the cuts";
}

}  // namespace
