// Loading and saving the settings file, its location and the folder browser.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>

#include "frame_fixture.h"
#include "i18n/lang_text_table.h"
#include "i18n/language.h"
#include "res/dialog_templates.h"
#include "res/menu_ids.h"

namespace {

using SettingsTest = FrameTest;

TEST_F(SettingsTest, FirstRunLoadsDefaultsAndCloseWritesTheTenKeysInOrder) {
  std::filesystem::create_directories(dir / "Pictures");
  system.pictures = dir / "Pictures";
  Frame().LoadSettings();
  EXPECT_EQ(frame->m_previewOn, 1);
  EXPECT_EQ(frame->m_captureFolder, system.documents);
  EXPECT_EQ(frame->m_snapshotFolder, system.pictures);
  EXPECT_EQ(frame->m_clipIndex, 0);
  EXPECT_EQ(frame->m_snapshotIndex, 0);
  EXPECT_EQ(frame->m_timeLimitEnabled, 0);
  EXPECT_EQ(frame->m_timeLimitSeconds, 30);
  EXPECT_EQ(frame->m_recordAudio, 0);
  EXPECT_EQ(frame->m_recordFormat, 0);
  EXPECT_EQ(g_stillSizeIndex, 0);

  frame->SaveSettings();
  EXPECT_EQ(ReadFile(IniPath()),
            "[SectionMain]\nWantPreview=1\nAviFileFolder=" + system.documents +
                "\nSnapFolder=" + system.pictures +
                "\nAviFileIndex=0\nSnapFileIndex=0\nTimeLimitEnalbe=0\nTimeLimit=30\n"
                "Capture Audio=0\nVideoFormat=0\nHighResolutionSize=0\n");
}

TEST_F(SettingsTest, WithoutAPicturesFolderSnapshotsGoToDocuments) {
  system.pictures = dir / "NoSuchPictures";
  Frame().LoadSettings();
  EXPECT_EQ(frame->m_snapshotFolder, system.documents);
}

TEST_F(SettingsTest, StoredValuesAreReadBackAsTheyAre) {
  std::filesystem::create_directories(dir / "clips");
  WriteFile(IniPath(), "[SectionMain]\nWantPreview=0\nAviFileFolder=" + (dir / "clips") +
                           "\nSnapFolder=" + (dir / "gone") +
                           "\nAviFileIndex=12\nSnapFileIndex=-1\nTimeLimitEnalbe=1\n"
                           "TimeLimit=0\nCapture Audio=1\nVideoFormat=7\nHighResolutionSize=99\n");
  std::filesystem::create_directories(dir / "Pictures");
  system.pictures = dir / "Pictures";
  Frame().LoadSettings();
  EXPECT_EQ(frame->m_previewOn, 1) << "WantPreview is written, never read";
  EXPECT_EQ(frame->m_captureFolder, dir / "clips");
  EXPECT_EQ(frame->m_snapshotFolder, system.documents) << "a deleted folder becomes D";
  EXPECT_EQ(frame->m_clipIndex, 12);
  EXPECT_EQ(frame->m_snapshotIndex, 0) << "-1 counts as absent";
  EXPECT_EQ(frame->m_timeLimitEnabled, 1);
  EXPECT_EQ(frame->m_timeLimitSeconds, 0);
  EXPECT_EQ(frame->m_recordAudio, 1);
  EXPECT_EQ(frame->m_recordFormat, 7);
  EXPECT_EQ(g_stillSizeIndex, 99);
}

TEST_F(SettingsTest, GarbageFileLoadsWhatItCanAndSaveKeepsTheRest) {
  std::string garbage = std::string("\x01\x02\xFE\n", 4) + "no equals here\n[SectionMain]\n" +
                        "AviFileFolder=" + std::string(100000, 'z') + "\nAviFileIndex=4\n" +
                        "=nokey\n[Other]\nTimeLimit=5\n";
  WriteFile(IniPath(), garbage);
  Frame().LoadSettings();
  EXPECT_EQ(frame->m_captureFolder, system.documents) << "a cut, missing folder becomes D";
  EXPECT_EQ(frame->m_clipIndex, 4);
  EXPECT_EQ(frame->m_timeLimitSeconds, 30);
  frame->SaveSettings();
  std::string after = ReadFile(IniPath());
  EXPECT_EQ(after.substr(0, 4), garbage.substr(0, 4));
  EXPECT_NE(after.find("no equals here\n"), std::string::npos);
  EXPECT_NE(after.find("[Other]\nTimeLimit=5\n"), std::string::npos);
  EXPECT_NE(after.find("=nokey\n"), std::string::npos);
}

TEST_F(SettingsTest, AnEmptyTimeLimitLoadsTheDefault) {
  WriteFile(IniPath(), "[SectionMain]\nTimeLimitEnalbe=1\nTimeLimit=\nAviFileIndex=\n");
  Frame().LoadSettings();
  EXPECT_EQ(frame->m_timeLimitEnabled, 1);
  EXPECT_EQ(frame->m_timeLimitSeconds, 30) << "an empty value must not stop recordings at once";
  EXPECT_EQ(frame->m_clipIndex, 0);
}

TEST_F(SettingsTest, AFileWithAByteOrderMarkKeepsItsSettingsAndItsOneSection) {
  std::filesystem::create_directories(dir / "clips");
  WriteFile(IniPath(), "\xEF\xBB\xBF[SectionMain]\r\nAviFileFolder=" + (dir / "clips") +
                           "\r\nAviFileIndex=12\r\nTimeLimit=90\r\n");
  Frame().LoadSettings();
  EXPECT_EQ(frame->m_captureFolder, dir / "clips");
  EXPECT_EQ(frame->m_clipIndex, 12);
  EXPECT_EQ(frame->m_timeLimitSeconds, 90);
  frame->m_clipIndex = 13;
  frame->SaveSettings();
  std::string after = ReadFile(IniPath());
  EXPECT_EQ(after.rfind("\xEF\xBB\xBF[SectionMain]\r\n", 0), 0u) << after;
  EXPECT_EQ(after.find("[SectionMain]", 4), std::string::npos) << "a second section: " << after;
  EXPECT_NE(after.find("AviFileIndex=13\r\n"), std::string::npos) << after;
  CMainFrame again(system, nullptr);
  again.AttachWindow(window);
  again.LoadSettings();
  EXPECT_EQ(again.m_clipIndex, 13);
  EXPECT_EQ(again.m_captureFolder, dir / "clips");
}

TEST_F(SettingsTest, AFolderOf200ChineseCharactersSurvivesSaveAndLoad) {
  // Four folders of 50 characters each: a file name holds at most 255 bytes.
  std::string folder = dir.path();
  for (int part = 0; part < 4; ++part) {
    folder += "/";
    for (int i = 0; i < 50; ++i) folder += "\xE7\x85\xA7";  // U+7167
  }
  ASSERT_LE(folder.size() - 2 * 200, 259u) << "the temporary folder is too deep";
  std::filesystem::create_directories(folder);
  Frame().LoadSettings();
  frame->m_snapshotFolder = folder;
  frame->m_captureFolder = folder;
  frame->SaveSettings();
  CMainFrame again(system, nullptr);
  again.AttachWindow(window);
  again.LoadSettings();
  EXPECT_EQ(again.m_snapshotFolder, folder);
  EXPECT_EQ(again.m_captureFolder, folder);
}

TEST_F(SettingsTest, AReadOnlySettingsFileIsLeftUnchangedAndTheSaveReportsIt) {
  const std::string frozen = "[SectionMain]\nSnapFileIndex=7\nTimeLimit=20\n";
  WriteFile(IniPath(), frozen);
  std::filesystem::permissions(IniPath(), std::filesystem::perms::owner_read);
  ASSERT_TRUE(system.IsWritableFolder(dir / "bin"));
  Frame().LoadSettings();
  frame->m_snapshotIndex = 8;
  testing::internal::CaptureStderr();
  frame->SaveSettings();
  std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadFile(IniPath()), frozen);
  EXPECT_NE(errors.find("could not save the settings to " + IniPath()), std::string::npos)
      << errors;
  EXPECT_FALSE(std::filesystem::exists(system.config + "/ostrel.INI"))
      << "a frozen file is not side-stepped";
}

TEST_F(SettingsTest, AFileInAnEncodingThatCannotBeReadIsLeftAsItIsAndTheDefaultsAreUsed) {
  const std::string kinds[] = {
      std::string("\xFF\xFE\0\0[\0\0\0", 8),  // UTF-32
      std::string("[\0S\0]\0\n\0T\0=\0"
                  "5\0",
                  14),  // UTF-16 without its mark
      std::string("\xFF\xFE[\0S\0]\0\n\0T\0=\0"
                  "5",
                  15),                      // cut UTF-16
      std::string("\xFE\xFF\xDC\0\0[", 6),  // a lone low surrogate
  };
  for (const std::string& unreadable : kinds) {
    WriteFile(IniPath(), unreadable);
    CMainFrame frame(system, nullptr);
    frame.AttachWindow(window);
    frame.m_timeLimitSeconds = 90;
    testing::internal::CaptureStderr();
    frame.LoadSettings();
    frame.SaveSettings();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(frame.m_timeLimitSeconds, 30);
    EXPECT_EQ(ReadFile(IniPath()), unreadable);
    EXPECT_NE(errors.find("cannot read the settings in " + IniPath()), std::string::npos) << errors;
    EXPECT_NE(errors.find("could not save the settings to " + IniPath()), std::string::npos)
        << errors;
  }
}

TEST_F(SettingsTest, SecondActivationReloadsTheFile) {
  Start();
  frame->m_clipIndex = 5;
  frame->SaveSettings();
  frame->m_clipIndex = 9;
  frame->ActivateFrame();
  EXPECT_EQ(frame->m_clipIndex, 5);
  EXPECT_EQ(window.timers.at(1), 100);
}

TEST_F(SettingsTest, IniNameFollowsTheExecutable) {
  system.modulePath = dir / "bin/Ostrel.exe";
  EXPECT_EQ(Frame().SettingsPath(), dir / "bin/Ostrel.INI");
  system.modulePath = dir / "bin/ostrel.app";
  EXPECT_EQ(Frame().SettingsPath(), dir / "bin/ostrel.INI");
  system.modulePath = dir / "bin/ostrel";
  EXPECT_EQ(Frame().SettingsPath(), dir / "bin/ostrel.INI");
}

TEST_F(SettingsTest, ReadOnlyInstallKeepsSettingsInTheUserConfigFolder) {
  system.modulePath = dir / "missing-bin/ostrel";  // a folder this process cannot write
  EXPECT_EQ(Frame().SettingsPath(), system.config + "/ostrel.INI");
  frame->m_snapshotIndex = 41;
  frame->SaveSettings();
  ASSERT_TRUE(std::filesystem::exists(system.config + "/ostrel.INI"));
  CMainFrame again(system, nullptr);
  again.AttachWindow(window);
  again.LoadSettings();
  EXPECT_EQ(again.m_snapshotIndex, 41);
}

TEST_F(SettingsTest, BrowseForFolderOpensAtTheCurrentFolderWithTheLocalizedTitle) {
  system.locale = "fr_FR.UTF-8";
  ASSERT_EQ(Frame().OnCreate(), 0);
  window.browseAnswers = {"", "/chosen"};
  EXPECT_EQ(frame->BrowseForFolder("/start"), "");
  EXPECT_EQ(frame->BrowseForFolder("/again"), "/chosen");
  ASSERT_EQ(window.browseStarts.size(), 2u);
  EXPECT_EQ(window.browseStarts[0], "/start");
  EXPECT_EQ(g_browseStartFolder, "/again");
  EXPECT_EQ(window.browseTitles[0], LangText(TXT_SELECT_FOLDER, kLangFrench));
  EXPECT_NE(window.browseTitles[0], LangText(TXT_SELECT_FOLDER, kLangEnglish));
}

TEST_F(SettingsTest, AFolderThatIsGoneIsReplacedAndTheUserIsToldOnce) {
  WriteFile(IniPath(), "[SectionMain]\nAviFileFolder=" + (dir / "gone") +
                           "\nSnapFolder=" + (dir / "gone") + "\n");
  Start();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "The folder " + (dir / "gone") +
                                         " no longer exists. Ostrel uses " + system.documents +
                                         " instead.");
  EXPECT_EQ(window.messages[0].icon, platform::MessageIcon::Information);
  Frame().OnTimer(CMainFrame::kTimerId);
  EXPECT_NE(ReadFile(IniPath()).find("AviFileFolder=" + system.documents + "\n"),
            std::string::npos);
  Frame().ActivateFrame();
  EXPECT_EQ(window.messages.size(), 1u) << "once";
}

TEST_F(SettingsTest, EveryChangeIsOnDiskBeforeTheNextCommandWithoutAClose) {
  std::filesystem::create_directories(dir / "clips");
  std::filesystem::create_directories(dir / "stills");
  Start();
  struct Case {
    uint32_t command;
    std::function<void()> answer;  // what the user does in the browser or the dialog
    std::string line;              // what the file then holds
  };
  const Case cases[] = {
      {menu_id::kSetCaptureFolder, [&] { window.browseAnswers = {dir / "clips"}; },
       "AviFileFolder=" + (dir / "clips")},
      {menu_id::kSetSnapshotFolder, [&] { window.browseAnswers = {dir / "stills"}; },
       "SnapFolder=" + (dir / "stills")},
      {menu_id::kRecordAudio, [] {}, "Capture Audio=1"},
      {menu_id::kFormatWmv, [] {}, "VideoFormat=1"},
      {menu_id::kStillSize[4], [] {}, "HighResolutionSize=4"},
      {menu_id::kRecordTimeLimit,
       [&] {
         using platform::DialogAction;
         window.dialogScript = {DialogAction::Toggle(dialog_id::kTimeLimitEnable),
                                DialogAction::Type(dialog_id::kTimeLimitEdit, "12"),
                                DialogAction::Ok()};
       },
       "TimeLimitEnalbe=1"},
  };
  for (const Case& c : cases) {
    c.answer();
    Frame().OnCommand(c.command);
    EXPECT_NE(ReadFile(IniPath()).find(c.line + "\n"), std::string::npos) << c.line << "\n"
                                                                          << ReadFile(IniPath());
  }
  EXPECT_NE(ReadFile(IniPath()).find("TimeLimit=12\n"), std::string::npos);
  // Numbers taken between commands (the still pin, a clip series) reach the file at the
  // next tick; the reset at once.
  {
    std::lock_guard<std::mutex> lock(Frame().SnapshotLock());
    Frame().m_snapshotIndex = 7;
  }
  Frame().OnTimer(CMainFrame::kTimerId);
  EXPECT_NE(ReadFile(IniPath()).find("SnapFileIndex=7\n"), std::string::npos);
  Frame().OnCommand(menu_id::kResetFileNumbers);
  EXPECT_NE(ReadFile(IniPath()).find("SnapFileIndex=0\n"), std::string::npos);
  // Nothing changed, nothing written.
  const auto old = std::filesystem::last_write_time(IniPath()) - std::chrono::hours(1);
  std::filesystem::last_write_time(IniPath(), old);
  Frame().OnTimer(CMainFrame::kTimerId);
  Frame().OnCommand(menu_id::kFormatWmv);
  EXPECT_EQ(std::filesystem::last_write_time(IniPath()), old);
}

TEST_F(SettingsTest, AnInstalledCopyKeepsItsSettingsInTheUserConfigFolderEvenWhenItCouldWrite) {
  std::filesystem::create_directories(dir / "prefix/bin");
  std::filesystem::create_directories(dir / "prefix/lib/ostrel");
  for (const std::string& exe : {dir / "prefix/bin/ostrel", std::string("/usr/bin/ostrel"),
                                 std::string("/usr/local/bin/ostrel")}) {
    system.modulePath = exe;
    EXPECT_EQ(Frame().SettingsPath(), system.config + "/ostrel.INI") << exe;
  }
  // A copy in a bin folder of the user's own, with no private library beside it.
  system.modulePath = dir / "bin/ostrel";
  EXPECT_EQ(Frame().SettingsPath(), dir / "bin/ostrel.INI");
}

}  // namespace
