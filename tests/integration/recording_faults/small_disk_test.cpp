// Recordings on a disk that really fills up: a small tmpfs mounted for the test (root
// only; otherwise the tests skip and say why), its free space read by statvfs.
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "recording_fault_fixture.h"

namespace {

// The fake system's clocks, the real file system's free space.
class SmallDiskSystem : public platform::FakeSystem {
 public:
  int64_t FreeBytes(const std::string& folder) const override {
    struct statvfs st;
    if (::statvfs(folder.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.f_bavail) * static_cast<int64_t>(st.f_frsize);
  }
};

class SmallDiskTest : public RecordingFaultTest {
 protected:
  void TearDown() override {
    frame.reset();
    if (mounted) ::umount2(disk.c_str(), MNT_DETACH);
    RecordingFaultTest::TearDown();
  }

  // A tmpfs of that many MiB as the capture folder.
  void Mount(int mib) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
    disk = dir + "/small";
    fs::create_directories(disk);
    const std::string options = "size=" + std::to_string(mib) + "m";
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, options.c_str()) != 0)
      GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    mounted = true;
  }

  SmallDiskSystem real;
  std::string disk;
  bool mounted = false;
};

TEST_F(SmallDiskTest, ARecordingStopsBeforeTheDiskIsFullAndItsClipIsWhole) {
  Mount(48);
  real.modulePath = dir + "/ostrel";
  real.documents = dir;
  Open({}, &real, disk);
  frame->OnStartStopCapture();
  ASSERT_EQ(frame->m_recording, 1) << (Messages().empty() ? "" : Messages()[0]);
  ASSERT_TRUE(TickUntil([&] { return frame->m_recording == 0; })) << "the recording never ended";
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
  EXPECT_EQ(Label(), "Start Capture(&S)");
  const std::string clip = disk + "/Clip0000.AVI";
  EXPECT_FALSE(fs::exists(clip + ".unfinished")) << "the file was finished";
  const ProbedClip ff = ProbeWithFfprobe(clip);
  ASSERT_TRUE(ff.ok) << ff.error;
  ASSERT_TRUE(ff.Find("video") && ff.Find("audio"));
  EXPECT_GE(ff.Find("video")->frames, 30);
  const ProbedClip gs = ProbeWithGStreamer(clip);
  ASSERT_TRUE(gs.ok) << gs.error;
  EXPECT_EQ(gs.Find("video")->frames, ff.Find("video")->frames);
  // Some room is left: what a finished file needed was kept back.
  EXPECT_GT(real.FreeBytes(disk), 0);
}

TEST_F(SmallDiskTest, ADiskWithoutRoomForTheFirstSecondsRefusesTheStart) {
  Mount(16);
  real.modulePath = dir + "/ostrel";
  real.documents = dir;
  Open({}, &real, disk);
  frame->OnStartStopCapture();
  EXPECT_EQ(frame->m_recording, 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{Text(TXT_RECORD_ERROR)});
  EXPECT_EQ(frame->m_graphRunning, 1) << "the preview goes on";
  EXPECT_TRUE(fs::is_empty(disk));
}

}  // namespace
