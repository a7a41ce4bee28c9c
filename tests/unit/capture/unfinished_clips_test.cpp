// The markers of clips being recorded and the repair of the clips a killed recording
// left behind, over a scripted repairer in a temporary capture folder.
#include "capture/unfinished_clips.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <sstream>

#include "capture/background_repair.h"
#include "capture/capture_frame.h"
#include "platform/fakes/fake_system.h"
#include "platform/fakes/fake_window.h"
#include "tests/unit/app/temp_dir.h"

namespace fs = std::filesystem;
using media::ClipRepair;

namespace {

// Writes what it is told to the output and notes what it was asked.
class ScriptedRepairer : public media::ClipRepairer {
 public:
  ClipRepair::Outcome outcome = ClipRepair::Outcome::Repaired;
  std::string written = "repaired";
  std::vector<std::string> clips;
  std::vector<media::ClipContainer> containers;
  std::string clipDuringRepair;  // the clip's content while its copy was written
  bool outputExistedBefore = false;

  ClipRepair Remux(const std::string& clip, media::ClipContainer container,
                   const std::string& output) override {
    clips.push_back(clip);
    containers.push_back(container);
    clipDuringRepair = ReadFile(clip);
    outputExistedBefore = fs::exists(output);
    if (!written.empty()) WriteFile(output, written);
    ClipRepair r;
    r.outcome = outcome;
    r.videoFrames = 90;
    r.durationUnits = 3 * media::kUnitsPerSecond;
    r.detail = "scripted";
    return r;
  }
};

class UnfinishedClipsTest : public ::testing::Test {
 protected:
  std::string Clip(const std::string& name, const std::string& content = "RIFF data") {
    WriteFile(dir / name, content);
    return dir / name;
  }
  // A marker left by a writer that is gone.
  void MarkAbandoned(const std::string& clip) {
    ASSERT_TRUE(unfinished_clips::Mark(clip, "boot-0 17 5"));
  }

  TempDir dir;
  platform::FakeSystem system;
  ScriptedRepairer repairer;
  std::ostringstream log;
};

TEST_F(UnfinishedClipsTest, AMarkerNamesItsWriterAndGoesWithTheStop) {
  const std::string clip = Clip("Clip0003.AVI");
  ASSERT_TRUE(unfinished_clips::Mark(clip, system.ProcessToken()));
  EXPECT_EQ(ReadFile(dir / "Clip0003.AVI.unfinished").substr(0, 16), "boot-1 4242 100\n");
  // While this process runs, its clip is not abandoned.
  EXPECT_TRUE(unfinished_clips::FindAbandoned(dir.path(), system).empty());
  unfinished_clips::Unmark(clip);
  EXPECT_FALSE(fs::exists(dir / "Clip0003.AVI.unfinished"));
  EXPECT_EQ(ReadFile(clip), "RIFF data");
  // A marker that cannot be written says so.
  EXPECT_FALSE(unfinished_clips::Mark(dir / "no-such-folder/Clip0001.AVI", "t"));
}

TEST_F(UnfinishedClipsTest, OnlyMarkedClipsOfGoneWritersAreAbandoned) {
  const std::string a = Clip("Clip0002.AVI"), b = Clip("Clip0001.WMV");
  MarkAbandoned(a);
  MarkAbandoned(b);
  Clip("Clip0004.AVI");  // finished: no marker
  const std::string other = Clip("Clip0005.AVI");
  ASSERT_TRUE(unfinished_clips::Mark(other, "boot-1 77 300"));
  system.runningProcesses.insert("boot-1 77 300");  // another Ostrel still records it
  WriteFile(dir / "notes.txt.unfinished", "x");     // not a clip
  fs::create_directories(dir / "sub");
  MarkAbandoned(Clip("sub/Clip0006.AVI"));                  // other folders are not searched
  fs::create_directories(dir / "Clip0007.AVI.unfinished");  // a folder, not a marker

  EXPECT_EQ(unfinished_clips::FindAbandoned(dir.path(), system), (std::vector<std::string>{b, a}));
  EXPECT_TRUE(unfinished_clips::FindAbandoned(dir / "missing", system).empty());
  EXPECT_TRUE(unfinished_clips::FindAbandoned("", system).empty());
}

TEST_F(UnfinishedClipsTest, ContainersFollowTheClipsExtensionInAnyCase) {
  media::ClipContainer c = media::ClipContainer::Asf;
  EXPECT_TRUE(unfinished_clips::ContainerOf("/x/Clip0001.AVI", c));
  EXPECT_EQ(c, media::ClipContainer::Avi);
  EXPECT_TRUE(unfinished_clips::ContainerOf("/x/clip0001.wmv", c));
  EXPECT_EQ(c, media::ClipContainer::Asf);
  EXPECT_FALSE(unfinished_clips::ContainerOf("/x/Clip0001.MP4", c));
  EXPECT_FALSE(unfinished_clips::ContainerOf("/x.AVI/Clip", c));
}

TEST_F(UnfinishedClipsTest, ARepairedCopyReplacesTheClipOnlyOnceComplete) {
  const std::string clip = Clip("Clip0003.AVI", "killed");
  MarkAbandoned(clip);
  WriteFile(dir / "Clip0003.AVI.repairing", "half of an earlier repair");

  EXPECT_EQ(unfinished_clips::RepairAbandoned(dir.path(), system, repairer, log), 1);
  ASSERT_EQ(repairer.clips, std::vector<std::string>{clip});
  EXPECT_EQ(repairer.containers[0], media::ClipContainer::Avi);
  EXPECT_EQ(repairer.clipDuringRepair, "killed");  // the original stays whole meanwhile
  EXPECT_FALSE(repairer.outputExistedBefore);      // an earlier partial copy is gone first
  EXPECT_EQ(ReadFile(clip), "repaired");
  EXPECT_FALSE(fs::exists(dir / "Clip0003.AVI.unfinished"));
  EXPECT_FALSE(fs::exists(dir / "Clip0003.AVI.repairing"));
  EXPECT_NE(log.str().find("ostrel: repaired " + clip), std::string::npos) << log.str();
  EXPECT_NE(log.str().find("90 frames, 3.0 s"), std::string::npos) << log.str();
  // Once repaired, the next start has nothing to do.
  EXPECT_EQ(unfinished_clips::RepairAbandoned(dir.path(), system, repairer, log), 0);
  EXPECT_EQ(repairer.clips.size(), 1u);
}

TEST_F(UnfinishedClipsTest, AnUnreadableClipIsKeptAsItIsAndNotTriedAgain) {
  const std::string clip = Clip("Clip0001.WMV", "killed asf");
  MarkAbandoned(clip);
  repairer.outcome = ClipRepair::Outcome::Unreadable;
  repairer.written = "";

  EXPECT_EQ(unfinished_clips::RepairAbandoned(dir.path(), system, repairer, log), 0);
  EXPECT_EQ(repairer.containers.at(0), media::ClipContainer::Asf);
  EXPECT_EQ(ReadFile(clip), "killed asf");
  EXPECT_FALSE(fs::exists(dir / "Clip0001.WMV.unfinished"));
  EXPECT_NE(log.str().find("kept as it is"), std::string::npos) << log.str();
}

// A repair that broke off, and one whose disk has no room for the copy (as large as the
// clip) and for a recording started meanwhile, keep the clip and its marker for the next start.
TEST_F(UnfinishedClipsTest, ARepairPutOffKeepsTheClipAndItsMarkerForTheNextStart) {
  for (const bool noRoom : {false, true}) {
    SCOPED_TRACE(noRoom ? "no room" : "broke off");
    const std::string clip = Clip(noRoom ? "Clip0004.AVI" : "Clip0001.AVI", "killed");
    MarkAbandoned(clip);
    repairer.clips.clear();
    log.str("");
    repairer.outcome = noRoom ? ClipRepair::Outcome::Repaired : ClipRepair::Outcome::Failed;
    repairer.written = "partial";
    system.freeBytes = noRoom ? int64_t{300} << 20 : -1;

    EXPECT_EQ(unfinished_clips::RepairAbandoned(dir.path(), system, repairer, log), 0);
    EXPECT_EQ(repairer.clips.empty(), noRoom);  // no copy begun without room for it
    EXPECT_EQ(ReadFile(clip), "killed");
    EXPECT_FALSE(fs::exists(clip + ".repairing"));
    EXPECT_TRUE(fs::exists(clip + ".unfinished"));
    EXPECT_NE(log.str().find("tried again at the next start"), std::string::npos) << log.str();
    repairer.outcome = ClipRepair::Outcome::Repaired;
    repairer.written = "repaired";
    system.freeBytes = int64_t{2} << 30;
    EXPECT_EQ(unfinished_clips::RepairAbandoned(dir.path(), system, repairer, log), 1);
    EXPECT_EQ(ReadFile(clip), "repaired");
  }
}

// Another Ostrel started at the same time holds the marker's lock while it repairs.
TEST_F(UnfinishedClipsTest, AClipAnotherRepairHoldsIsPassedOver) {
  const std::string clip = Clip("Clip0002.AVI", "killed");
  MarkAbandoned(clip);
  WriteFile(dir / "Clip0002.AVI.repairing", "the other repair's copy");
  const int other = ::open((clip + ".unfinished").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(other, LOCK_EX), 0);

  EXPECT_EQ(unfinished_clips::RepairAbandoned(dir.path(), system, repairer, log), 0);
  ::close(other);
  EXPECT_TRUE(repairer.clips.empty());
  EXPECT_EQ(ReadFile(dir / "Clip0002.AVI.repairing"), "the other repair's copy");
  EXPECT_TRUE(fs::exists(dir / "Clip0002.AVI.unfinished"));
  EXPECT_NE(log.str().find("being repaired by another Ostrel"), std::string::npos) << log.str();
}

TEST_F(UnfinishedClipsTest, AMarkerWithoutDataOnlyGoes) {
  MarkAbandoned(dir / "Clip0001.AVI");  // the recording never created its file
  const std::string empty = Clip("Clip0002.AVI", "");
  MarkAbandoned(empty);

  EXPECT_EQ(unfinished_clips::RepairAbandoned(dir.path(), system, repairer, log), 0);
  EXPECT_TRUE(repairer.clips.empty());
  EXPECT_FALSE(fs::exists(dir / "Clip0001.AVI.unfinished"));
  EXPECT_FALSE(fs::exists(dir / "Clip0002.AVI.unfinished"));
  EXPECT_TRUE(fs::exists(empty));
  EXPECT_NE(log.str().find(empty + " was left empty"), std::string::npos) << log.str();
}

// The frame's side: a marker from the build of a recording to the teardown after its
// stop, and the repair of the capture folder at the start.
class RepairingMedia : public media::MediaFactory {
 public:
  std::shared_ptr<ScriptedRepairer> repairer = std::make_shared<ScriptedRepairer>();
  std::shared_ptr<media::Graph> CreateGraph() override { return nullptr; }
  std::shared_ptr<media::CaptureGraphBuilder> CreateCaptureGraphBuilder() override {
    return nullptr;
  }
  std::shared_ptr<media::DeviceEnumerator> CreateDeviceEnumerator() override { return nullptr; }
  std::shared_ptr<media::Filter> CreateFilter(const std::string&) override { return nullptr; }
  std::shared_ptr<media::ClipRepairer> CreateClipRepairer() override { return repairer; }
};

class Frame : public CaptureFrame {
 public:
  platform::FakeWindow window;
  platform::FakeSystem system;
  RepairingMedia media;
  platform::Window& Ui() override { return window; }
  platform::System& Sys() override { return system; }
  media::MediaFactory& Media() override { return media; }
  void FitWindowToVideo(int, int) override {}
};

TEST_F(UnfinishedClipsTest, TheFramesClipIsMarkedUntilTheTeardownAfterItsStop) {
  Frame frame;
  frame.m_captureFolder = dir.path();
  const std::string first = Clip("Clip0000.AVI"), second = Clip("Clip0001.AVI");
  frame.BeginClipSeries(nullptr, 0, "AVI");
  EXPECT_TRUE(fs::exists(first + ".unfinished"));
  // A second recording's build ends the first one's marker.
  frame.BeginClipSeries(nullptr, 1, "AVI");
  EXPECT_FALSE(fs::exists(first + ".unfinished"));
  // The frame's own recording is not repaired under it.
  frame.RepairUnfinishedClips();
  EXPECT_EQ(frame.WaitForRepairs(), 0);
  EXPECT_TRUE(frame.media.repairer->clips.empty());
  frame.TearDownGraph();
  EXPECT_FALSE(fs::exists(second + ".unfinished"));
  EXPECT_EQ(ReadFile(second), "RIFF data");
}

TEST_F(UnfinishedClipsTest, TheFrameRepairsItsCaptureFolderAtTheStart) {
  Frame frame;
  frame.m_captureFolder = dir.path();
  const std::string clip = Clip("Clip0009.WMV");
  MarkAbandoned(clip);
  frame.RepairUnfinishedClips();
  EXPECT_EQ(frame.WaitForRepairs(), 1);
  EXPECT_EQ(frame.media.repairer->clips, std::vector<std::string>{clip});
  EXPECT_EQ(ReadFile(clip), "repaired");
}

// Copies nothing until it is cancelled, as a long clip's remux would.
class EndlessRepairer : public media::ClipRepairer {
 public:
  ClipRepair Remux(const std::string& clip, media::ClipContainer,
                   const std::string& output) override {
    WriteFile(output, "part of a copy");
    std::unique_lock<std::mutex> lock(mutex);
    clips.push_back(clip);
    changed.notify_all();
    changed.wait(lock, [&] { return cancelled; });
    ClipRepair r;
    r.detail = "cancelled";
    return r;
  }
  void Cancel() override {
    std::lock_guard<std::mutex> lock(mutex);
    cancelled = true;
    changed.notify_all();
  }
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> clips;
  bool cancelled = false;
};

TEST_F(UnfinishedClipsTest, TheRepairRunsMeanwhileAndACloseGivesUpOnItsClip) {
  const std::string first = Clip("Clip0001.AVI", "killed"), second = Clip("Clip0002.AVI", "too");
  MarkAbandoned(first);
  MarkAbandoned(second);
  auto endless = std::make_shared<EndlessRepairer>();
  BackgroundRepair repair;
  repair.Start(dir.path(), system, endless, log);
  {
    // The caller goes on while the first clip is copied.
    std::unique_lock<std::mutex> lock(endless->mutex);
    ASSERT_TRUE(endless->changed.wait_for(lock, std::chrono::seconds(10),
                                          [&] { return !endless->clips.empty(); }));
  }
  repair.Stop();
  EXPECT_EQ(repair.Wait(), 0);
  EXPECT_EQ(endless->clips, std::vector<std::string>{first}) << "the second clip waits too";
  EXPECT_EQ(ReadFile(first), "killed");
  EXPECT_TRUE(fs::exists(first + ".unfinished"));
  EXPECT_TRUE(fs::exists(second + ".unfinished"));
  EXPECT_FALSE(fs::exists(first + ".repairing"));
  EXPECT_NE(log.str().find("tried again at the next start"), std::string::npos) << log.str();
}

}  // namespace
