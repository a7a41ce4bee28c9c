// Clips whose recording was killed, repaired at the next start: read back whole by
// ffprobe and GStreamer, with their headers and index right; what cannot be read is
// kept as it is.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "capture/unfinished_clips.h"
#include "clip_reader.h"
#include "killed_recording.h"
#include "platform/gst/clip_repairer.h"
#include "platform/linux/linux_system.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCamera =
    "ostrelvirtualcamsrc ! video/x-raw,format=YUY2,width=640,height=480,framerate=30/1";
constexpr uint64_t kFrameBytes = 640 * 480 * 2;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Where the first chunk of the AVI's 'movi' list that starts past the middle of the file
// is; npos when there is none.
size_t ChunkPastTheMiddle(const std::string& avi) {
  const size_t movi = avi.find("movi");
  if (movi == std::string::npos) return std::string::npos;
  uint32_t size = 0;  // little-endian, as the machine
  for (size_t at = movi + 4; at + 8 <= avi.size(); at += 8 + ((size_t{size} + 1) & ~size_t{1})) {
    if (at > avi.size() / 2) return at;
    std::memcpy(&size, avi.data() + at + 4, 4);
  }
  return std::string::npos;
}

class ClipRepairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gst_init(nullptr, nullptr);
    if (!HaveProgram("ffprobe")) GTEST_SKIP() << "ffprobe is not installed";
    for (const char* element : {"avimux", "avidemux", "decodebin"})
      if (!gst_element_factory_find(element))
        GTEST_SKIP() << element << " (gstreamer1.0-plugins-good) is not installed";
    std::string tmpl = (fs::temp_directory_path() / "ostrel-repair-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    folder = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    if (!folder.empty()) fs::remove_all(folder, ec);
  }

  // An AVI with sound of at least 45 frames, as a killed recording leaves it.
  void RecordAndKillAviWithSound(const std::string& clip) {
    std::string why;
    ASSERT_TRUE(RecordAndKill(std::string(kCamera) +
                                  " ! queue ! avimux name=m ! filesink location=" + clip +
                                  " ostrelvirtualmicsrc ! audioconvert ! queue ! m.",
                              clip, 45 * kFrameBytes, why))
        << why;
  }

  // Marks the clip as a killed Ostrel leaves it and runs the start's repair.
  int RepairAsAtTheStart(const std::string& clip) {
    EXPECT_TRUE(unfinished_clips::Mark(clip, "a-boot-long-gone 4242 100"));
    return unfinished_clips::RepairAbandoned(folder, system, repairer, log);
  }

  std::string folder;
  platform::LinuxSystem system;
  media::gst::GstClipRepairer repairer;
  std::ostringstream log;
};

TEST_F(ClipRepairTest, AKilledAviWithSoundGetsItsIndexAndHeadersAndKeepsEveryFrame) {
  const std::string clip = folder + "/Clip0000.AVI";
  ASSERT_NO_FATAL_FAILURE(RecordAndKillAviWithSound(clip));
  const FfprobeView killed = ReadWithFfprobe(clip);
  ASSERT_TRUE(killed.read);
  // What a kill leaves: the headers count nothing, the data is all there.
  EXPECT_LE(killed.headerFrames, 0);
  EXPECT_EQ(killed.headerDuration, 0.0);
  ASSERT_GE(killed.videoFrames, 40);

  EXPECT_EQ(RepairAsAtTheStart(clip), 1) << log.str();
  EXPECT_FALSE(fs::exists(clip + ".unfinished"));
  EXPECT_FALSE(fs::exists(clip + ".repairing"));
  EXPECT_NE(log.str().find("repaired " + clip), std::string::npos) << log.str();

  const FfprobeView ff = ReadWithFfprobe(clip);
  // The last frame may have been half written when the writer died.
  EXPECT_GE(ff.videoFrames, killed.videoFrames - 1);
  EXPECT_LE(ff.videoFrames, killed.videoFrames);
  EXPECT_EQ(ff.headerFrames, ff.videoFrames);
  EXPECT_NEAR(ff.headerDuration, ff.videoFrames / 30.0, 0.05);
  EXPECT_TRUE(ff.hasAudio);
  EXPECT_GT(ff.audioPackets, 0);
  EXPECT_NE(log.str().find(std::to_string(ff.videoFrames) + " frames"), std::string::npos)
      << log.str();

  const GstView gv = ReadWithGstreamer(clip);
  ASSERT_TRUE(gv.read) << gv.error;
  EXPECT_EQ(gv.videoFrames, ff.videoFrames);
  EXPECT_NEAR(gv.videoDuration, ff.videoFrames / 30.0, 0.05);
  EXPECT_GE(gv.duration, gv.videoDuration - 0.05);
  EXPECT_TRUE(gv.hasAudio);
  // No sound past the last frame: both streams end within one frame.
  EXPECT_NEAR(gv.audioEnd, gv.videoDuration, 1 / 30.0);
}

TEST_F(ClipRepairTest, AKilledWmvGetsItsHeadersAndKeepsItsFramesAndSound) {
  for (const char* element : {"avenc_wmv2", "avenc_wmav2", "avmux_asf", "asfdemux"})
    if (!gst_element_factory_find(element))
      GTEST_SKIP() << element << " (gstreamer1.0-libav, -ugly) is not installed";
  const std::string clip = folder + "/Clip0001.WMV";
  std::string why;
  ASSERT_TRUE(RecordAndKill(std::string(kCamera) +
                                " ! videoconvert ! avenc_wmv2 ! identity single-segment=true ! "
                                "queue ! avmux_asf name=m ! filesink location=" +
                                clip +
                                " ostrelvirtualmicsrc ! audioconvert ! avenc_wmav2 ! "
                                "identity single-segment=true ! queue ! m.",
                            clip, 150 * 1024, why))
      << why;
  const FfprobeView killed = ReadWithFfprobe(clip);
  ASSERT_GT(killed.videoFrames, 0);
  const std::string before = Bytes(clip);

  // Pushed the data, asfdemux reads a killed file packet after packet.
  ASSERT_EQ(RepairAsAtTheStart(clip), 1) << log.str();
  EXPECT_FALSE(fs::exists(clip + ".unfinished"));
  EXPECT_FALSE(fs::exists(clip + ".repairing"));
  EXPECT_NE(Bytes(clip), before);
  const FfprobeView ff = ReadWithFfprobe(clip);
  EXPECT_GE(ff.videoFrames, killed.videoFrames - 2);
  EXPECT_GT(ff.headerDuration, 0.0);
  EXPECT_TRUE(ff.hasAudio);
  const GstView gv = ReadWithGstreamer(clip);
  ASSERT_TRUE(gv.read) << gv.error;
  EXPECT_GE(gv.videoFrames, ff.videoFrames - 2);
  EXPECT_NEAR(gv.videoDuration, ff.headerDuration, 0.5);
  EXPECT_TRUE(gv.hasAudio);
  EXPECT_NEAR(gv.audioEnd, gv.videoDuration, 1 / 30.0);
}

TEST_F(ClipRepairTest, ACancelledRepairLeavesTheClipForTheNextStart) {
  const std::string clip = folder + "/Clip0003.AVI";
  std::string why;
  ASSERT_TRUE(RecordAndKill(std::string(kCamera) + " ! queue ! avimux ! filesink location=" + clip,
                            clip, 20 * kFrameBytes, why))
      << why;
  const std::string before = Bytes(clip);
  repairer.Cancel();  // the program is closing
  EXPECT_EQ(RepairAsAtTheStart(clip), 0);
  EXPECT_EQ(Bytes(clip), before);
  EXPECT_TRUE(fs::exists(clip + ".unfinished"));
  EXPECT_FALSE(fs::exists(clip + ".repairing"));
  EXPECT_NE(log.str().find("Ostrel was closing"), std::string::npos) << log.str();
}

TEST_F(ClipRepairTest, AKilledAviDamagedInTheMiddleIsKeptWholeRatherThanCutThere) {
  const std::string clip = folder + "/Clip0004.AVI";
  ASSERT_NO_FATAL_FAILURE(RecordAndKillAviWithSound(clip));
  std::string damaged = Bytes(clip);
  const size_t chunk = ChunkPastTheMiddle(damaged);
  ASSERT_NE(chunk, std::string::npos);
  // A garbage size: avidemux's scan of the chunks ends there as if at the end of the file.
  damaged.replace(chunk + 4, 4, std::string("\xF0\xFF\xFF\x7F", 4));
  std::ofstream(clip, std::ios::binary | std::ios::trunc) << damaged;

  EXPECT_EQ(RepairAsAtTheStart(clip), 0) << log.str();
  EXPECT_TRUE(Bytes(clip) == damaged) << "the clip was changed";
  EXPECT_FALSE(fs::exists(clip + ".repairing"));
  EXPECT_EQ(log.str().find("repaired " + clip), std::string::npos) << log.str();
  EXPECT_NE(log.str().find("could be read only to byte"), std::string::npos) << log.str();
}

TEST_F(ClipRepairTest, AClipNoDemuxerCanReadIsKeptAsItIs) {
  const std::string clip = folder + "/Clip0002.AVI";
  std::ofstream(clip, std::ios::binary) << std::string(100000, 'x');
  const std::string before = Bytes(clip);

  EXPECT_EQ(RepairAsAtTheStart(clip), 0);
  EXPECT_EQ(Bytes(clip), before);
  EXPECT_FALSE(fs::exists(clip + ".unfinished"));
  EXPECT_FALSE(fs::exists(clip + ".repairing"));
  EXPECT_NE(log.str().find("kept as it is"), std::string::npos) << log.str();
}

}  // namespace
