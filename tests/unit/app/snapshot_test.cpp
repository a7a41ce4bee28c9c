// The menu snapshot and the still pin's callback over a fake preview grabber: the files,
// the shared counter, the messages and the failures that must not lose a picture.
#include <gtest/gtest.h>

#include "app/still_callback.h"
#include "fake_grabber.h"
#include "frame_fixture.h"
#include "scratch_folder.h"

namespace {

using platform::MessageIcon;

uint32_t Le32(const std::string& s, size_t at) {
  const auto* p = reinterpret_cast<const uint8_t*>(s.data() + at);
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

media::MediaType StillType(int width, int height) {
  media::MediaType t;
  t.major = media::MajorType::Video;
  t.subtype = media::Subtype::RGB24;
  t.formatType = media::FormatType::VideoInfo;
  t.formatSize = media::kVideoInfoSize;
  t.width = width;
  t.height = height;
  t.bitCount = 24;
  return t;
}

class SnapshotTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder = dir / "Stills";
    std::filesystem::create_directories(folder);
    Frame().m_snapshotFolder = folder;
    Frame().m_videoWidth = 640;
    Frame().m_videoHeight = 480;
    Frame().m_videoSubtype = 3;
    grabber->frame = PatternFrame(640 * 480 * 3);
    Frame().m_pPreviewGrabber = filter;
    g_stillMediaType = StillType(640, 480);
  }
  void TearDown() override { g_stillMediaType = media::MediaType{}; }

  std::string File(const std::string& name) const { return ReadFile(folder + "/" + name); }
  std::string Pixels(const std::string& name) const { return File(name).substr(54); }
  media::Status Press(const std::vector<uint8_t>& frame) {
    return Frame().m_pStillCallback->BufferCB(0.0, frame.data(), static_cast<long>(frame.size()));
  }
  std::string AsText(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

  std::string folder;
  std::shared_ptr<FakeGrabberFilter> filter = std::make_shared<FakeGrabberFilter>();
  std::shared_ptr<FakeGrabber> grabber = filter->grabber;
};

TEST_F(SnapshotTest, FrameSizeSnapshotIsTheGrabbedFrameAfterA54ByteHeader) {
  Frame().m_snapshotIndex = 7;
  EXPECT_EQ(Frame().TakeSnapshot(), 1);
  const std::string file = File("Still0007.BMP");
  ASSERT_EQ(file.size(), 921'654u);
  EXPECT_EQ(file.substr(0, 2), "BM");
  EXPECT_EQ(Le32(file, 18), 640u);
  EXPECT_EQ(Le32(file, 22), 480u);
  EXPECT_EQ(Pixels("Still0007.BMP"), AsText(grabber->frame));
  EXPECT_EQ(Frame().m_snapshotIndex, 8);
  EXPECT_EQ(system.shutterSounds, 1);
  EXPECT_EQ(window.videoAreaFlashes, 1);
  EXPECT_TRUE(window.statusTexts.empty()) << "nothing over the status pane";
  EXPECT_EQ(system.slept, 50u);
  EXPECT_EQ(grabber->bufferingSwitches, (std::vector<bool>{true, false}));
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"Still0007.BMP"}));
}

TEST_F(SnapshotTest, StillSizesResampleAndIndicesWithoutASizeKeepTheFrame) {
  g_stillSizeIndex = 4;
  ASSERT_EQ(Frame().TakeSnapshot(), 1);
  const std::string big = File("Still0000.BMP");
  ASSERT_EQ(big.size(), 3'686'454u);
  EXPECT_EQ(Le32(big, 18), 1280u);
  EXPECT_EQ(Le32(big, 22), 960u);
  EXPECT_EQ(Le32(big, 34), 3'686'400u);
  for (int index : {6, 11, -1}) {
    g_stillSizeIndex = index;
    ASSERT_EQ(Frame().TakeSnapshot(), 1) << index;
  }
  for (const char* name : {"Still0001.BMP", "Still0002.BMP", "Still0003.BMP"})
    EXPECT_EQ(Pixels(name), AsText(grabber->frame)) << name;
  // The still pin follows the same table.
  g_stillSizeIndex = 4;
  ASSERT_EQ(Press(grabber->frame), media::kOk);
  EXPECT_EQ(File("0004.BMP"), big.substr(0, 54) + Pixels("Still0000.BMP"));
  g_stillSizeIndex = 6;
  ASSERT_EQ(Press(grabber->frame), media::kOk);
  EXPECT_EQ(Pixels("0005.BMP"), AsText(grabber->frame));
}

TEST_F(SnapshotTest, NumbersBelowAThousandArePaddedAndTenThousandHasFiveDigits) {
  Frame().m_snapshotIndex = 9999;
  ASSERT_EQ(Frame().TakeSnapshot(), 1);
  ASSERT_EQ(Press(grabber->frame), media::kOk);
  ASSERT_EQ(Frame().TakeSnapshot(), 1);
  EXPECT_EQ(FolderEntries(folder),
            (std::vector<std::string>{"10000.BMP", "Still10001.BMP", "Still9999.BMP"}));
  Frame().ResetFileNumbers();
  Frame().m_snapshotIndex = 3;
  ASSERT_EQ(Press(grabber->frame), media::kOk);
  EXPECT_TRUE(std::filesystem::exists(folder + "/0003.BMP"));
}

TEST_F(SnapshotTest, NegativeNumbersAreNumbersOnBothPaths) {
  Frame().m_snapshotIndex = -5;  // from the settings file
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Frame().TakeSnapshot(), 1);
  EXPECT_EQ(Press(grabber->frame), media::kOk);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(system.shutterSounds, 1);
  EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"-004.BMP", "Still-005.BMP"}));
  EXPECT_EQ(Frame().m_snapshotIndex, -3);
}

TEST_F(SnapshotTest, EachFailureShowsItsMessageAndLeavesNothingBehind) {
  const auto expectOnly = [&](const char* text) {
    ASSERT_EQ(window.messages.size(), 1u) << text;
    EXPECT_EQ(window.messages[0].text, text);
    EXPECT_EQ(window.messages[0].caption, "Error");
    EXPECT_EQ(window.messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(grabber->buffering) << text;
    EXPECT_TRUE(FolderEntries(folder).empty()) << text;
    EXPECT_EQ(Frame().m_snapshotIndex, 0);
    EXPECT_EQ(system.shutterSounds, 0);
    EXPECT_EQ(window.videoAreaFlashes, 0);
    window.messages.clear();
  };
  filter->offersGrabber = false;
  EXPECT_EQ(Frame().TakeSnapshot(), 0);
  expectOnly("Snapshot IID_ISampleGrabber Error");
  filter->offersGrabber = true;

  grabber->framesFlow = false;  // nothing arrived within the wait
  EXPECT_EQ(Frame().TakeSnapshot(), 0);
  expectOnly("Snapshot Error");
  grabber->framesFlow = true;

  // RGB32 is captured, but the grabber hands over 3-byte pixels: the size never matches.
  Frame().m_videoSubtype = 6;
  EXPECT_EQ(Frame().TakeSnapshot(), 0);
  expectOnly("Snapshot Error");
  Frame().m_videoSubtype = 3;

  // Rows padded by the platform (a width whose rows are not whole words) are not E bytes.
  Frame().m_videoWidth = 638;
  grabber->frame.assign(640 * 3 * 480, 0);
  EXPECT_EQ(Frame().TakeSnapshot(), 0);
  expectOnly("Snapshot Error");
  Frame().m_videoWidth = 640;

  grabber->failCopy = true;
  EXPECT_EQ(Frame().TakeSnapshot(), 0);
  expectOnly("Snapshot get data Error");
}

TEST_F(SnapshotTest, WithoutAGrabberARunningGraphSaysSoAndAStoppedOneDoesNothing) {
  Frame().m_pPreviewGrabber.reset();
  EXPECT_EQ(Frame().TakeSnapshot(), 0);
  EXPECT_TRUE(window.messages.empty());
  Frame().m_graphRunning = 1;  // a recording whose clip has no grabber on its way
  EXPECT_EQ(Frame().TakeSnapshot(), 0);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "Snapshot IID_ISampleGrabber Error");
  EXPECT_EQ(system.slept, 0u);
  EXPECT_TRUE(FolderEntries(folder).empty());
}

TEST_F(SnapshotTest, ExistingPicturesAreNeverReplacedOnEitherPath) {
  WriteFile(folder + "/Still0000.BMP", "mine");
  WriteFile(folder + "/0001.BMP", "mine too");
  WriteFile(folder + "/0003.BMP", "and this");
  ASSERT_EQ(Frame().TakeSnapshot(), 1);  // 0 and 1 are taken
  EXPECT_TRUE(std::filesystem::exists(folder + "/Still0002.BMP"));
  EXPECT_EQ(Frame().m_snapshotIndex, 3);
  ASSERT_EQ(Press(grabber->frame), media::kOk);  // 3 is taken
  EXPECT_TRUE(std::filesystem::exists(folder + "/0004.BMP"));
  EXPECT_EQ(Frame().m_snapshotIndex, 5);
  EXPECT_EQ(File("Still0000.BMP"), "mine");
  EXPECT_EQ(File("0001.BMP"), "mine too");
  EXPECT_EQ(File("0003.BMP"), "and this");
}

TEST_F(SnapshotTest, AStillPinFileNIsFollowedByAMenuSnapshotNPlusOne) {
  Frame().m_snapshotIndex = 41;
  ASSERT_EQ(Press(grabber->frame), media::kOk);
  ASSERT_EQ(Frame().TakeSnapshot(), 1);
  ASSERT_EQ(Press(grabber->frame), media::kOk);
  EXPECT_EQ(FolderEntries(folder),
            (std::vector<std::string>{"0041.BMP", "0043.BMP", "Still0042.BMP"}));
  EXPECT_EQ(Pixels("0041.BMP"), AsText(grabber->frame));
  EXPECT_EQ(Frame().m_snapshotIndex, 44);
  EXPECT_EQ(system.shutterSounds, 1) << "the still pin plays no sound";
}

TEST_F(SnapshotTest, AFolderThatRefusesTheFileSaysWhereAndKeepsTheNumber) {
  for (ScratchFolder::Kind kind : {ScratchFolder::Kind::ReadOnly, ScratchFolder::Kind::Full}) {
    ScratchFolder refusing(dir / (kind == ScratchFolder::Kind::Full ? "full" : "ro"), kind);
    if (refusing.path().empty()) continue;  // a full disk needs root
    SCOPED_TRACE(refusing.path());
    Frame().SetSnapshotFolder(refusing.path());
    Frame().m_snapshotIndex = 12;
    window.messages.clear();
    EXPECT_EQ(Frame().TakeSnapshot(), media::kFail);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].text.find(refusing.path() + "/Still0012.BMP"), std::string::npos)
        << window.messages[0].text;
    EXPECT_EQ(window.messages[0].caption, "Error");
    EXPECT_EQ(window.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(Frame().m_snapshotIndex, 12);
    EXPECT_EQ(system.shutterSounds, 0);
    EXPECT_TRUE(FolderEntries(refusing.path()).empty()) << "no empty or partial file";

    // The still pin uses its number up and says so on the error stream, once.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Press(grabber->frame), media::kFail);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(refusing.path() + "/0012.BMP"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    EXPECT_EQ(Frame().m_snapshotIndex, 13);
    EXPECT_TRUE(FolderEntries(refusing.path()).empty());
    EXPECT_TRUE(window.messages.size() == 1u) << "the still pin shows nothing";
  }
}

TEST_F(SnapshotTest, StillPinRejectsAForeignTypeAndNeverReadsPastAShortBuffer) {
  Frame().m_snapshotIndex = 5;
  media::MediaType audio = StillType(640, 480), shortHeader = StillType(640, 480);
  audio.formatType = media::FormatType::WaveFormatEx;
  shortHeader.formatSize = 87;
  for (const media::MediaType& bad : {media::MediaType{}, audio, shortHeader}) {
    g_stillMediaType = bad;
    EXPECT_EQ(Press(grabber->frame), kInvalidMediaType);
  }
  EXPECT_EQ(Frame().m_snapshotIndex, 5);

  g_stillMediaType = StillType(640, 480);
  std::vector<uint8_t> shortFrame(grabber->frame.begin(), grabber->frame.end() - 1);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Press(shortFrame), media::kFail);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("0005.BMP"), std::string::npos);
  EXPECT_EQ(Frame().m_snapshotIndex, 6) << "the number stays used";
  EXPECT_EQ(Frame().m_pStillCallback->BufferCB(0, nullptr, 0), media::kFail);
  EXPECT_TRUE(FolderEntries(folder).empty());
}

TEST_F(SnapshotTest, StillPinFilesAreBottomUpWhateverTheFormatsRowOrder) {
  // A top-down 4 x 3 picture: its last row comes first in the file.
  g_stillMediaType = StillType(4, -3);
  const std::vector<uint8_t> topDown = PatternFrame(4 * 3 * 3);
  ASSERT_EQ(Press(topDown), media::kOk);
  const std::string file = File("0000.BMP");
  EXPECT_EQ(Le32(file, 22), 3u);
  const std::string rows = AsText(topDown);
  EXPECT_EQ(file.substr(54), rows.substr(24, 12) + rows.substr(12, 12) + rows.substr(0, 12));

  // Rows padded to whole words lose their padding; a packed frame is taken as it is.
  g_stillMediaType = StillType(3, 2);
  std::vector<uint8_t> padded = PatternFrame(12 * 2);
  ASSERT_EQ(Press(padded), media::kOk);
  EXPECT_EQ(Pixels("0001.BMP"), AsText(padded).substr(0, 9) + AsText(padded).substr(12, 9));
  padded.resize(18);
  ASSERT_EQ(Press(padded), media::kOk);
  EXPECT_EQ(Pixels("0002.BMP"), AsText(padded));
}

}  // namespace
