// What a recording needs before the preview is given up for it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "frame_fixture.h"
#include "i18n/lang_text_table.h"

namespace {

using RecordingStartCheckTest = FrameTest;

TEST_F(RecordingStartCheckTest, EveryCaptureFormatIntoAWritableFolderMayStart) {
  CMainFrame& f = Frame();
  f.m_captureFolder = dir / "Documents";
  for (int subtype = 1; subtype <= 7; ++subtype) {
    for (int format : {0, 1}) {
      f.m_videoSubtype = subtype;
      f.m_recordFormat = format;
      EXPECT_TRUE(f.CheckRecordingCanStart()) << subtype << " " << format;
    }
  }
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(RecordingStartCheckTest, AMissingFolderOrAFormatNoClipHoldsShowsTheRecordingError) {
  CMainFrame& f = Frame();
  f.m_languageIndex = 2;  // French
  f.m_videoSubtype = 3;
  f.m_captureFolder = dir / "gone";
  EXPECT_FALSE(f.CheckRecordingCanStart());
  f.m_captureFolder = dir / "Documents";
  f.m_videoSubtype = 0;  // not a format the program knows
  EXPECT_FALSE(f.CheckRecordingCanStart());
  f.m_videoSubtype = 3;
  f.m_recordFormat = 2;  // from a hand-edited settings file
  EXPECT_FALSE(f.CheckRecordingCanStart());
  system.freeBytes = 1000;  // a full disk
  f.m_recordFormat = 0;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(f.CheckRecordingCanStart());
  const std::string logged = testing::internal::GetCapturedStderr();
  ASSERT_EQ(window.messages.size(), 4u);
  for (const auto& m : window.messages) {
    EXPECT_EQ(m.text, LangText(TXT_RECORD_ERROR, 2)) << "the fixed text stays";
    EXPECT_EQ(m.caption, "") << "the application title";
    EXPECT_EQ(m.icon, platform::MessageIcon::Error);
  }
  // The reason underneath, one per fault.
  EXPECT_EQ(window.messages[0].detail, "The folder " + (dir / "gone") + " does not exist.");
  EXPECT_EQ(window.messages[1].detail, "The camera's current format cannot be recorded.");
  EXPECT_EQ(window.messages[2].detail, "The clip format 2 is neither AVI nor WMV.");
  EXPECT_EQ(window.messages[3].detail,
            "There is no room left on the disk of " + (dir / "Documents") + ".");
  EXPECT_NE(logged.find(window.messages[3].detail), std::string::npos) << logged;
}

TEST_F(RecordingStartCheckTest, AFolderThatCannotBeWrittenShowsTheRecordingError) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  CMainFrame& f = Frame();
  const std::string folder = dir / "readonly";
  std::filesystem::create_directories(folder);
  ::chmod(folder.c_str(), 0555);
  f.m_captureFolder = folder;
  f.m_videoSubtype = 3;
  EXPECT_FALSE(f.CheckRecordingCanStart());
  ::chmod(folder.c_str(), 0755);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].detail, "The folder " + folder + " cannot be written to.");
}

}  // namespace
