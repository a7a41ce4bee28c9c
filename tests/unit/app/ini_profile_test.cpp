// IniProfile: the private-profile rules the settings rely on, and damaged files.
#include "app/ini_profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_dir.h"

namespace {

// The text as UTF-16 with its byte-order mark, as Windows programs save it.
std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string bytes;
  for (char16_t u : u"\uFEFF" + text) {
    bytes += static_cast<char>(bigEndian ? u >> 8 : u & 0xFF);
    bytes += static_cast<char>(bigEndian ? u & 0xFF : u >> 8);
  }
  return bytes;
}

TEST(IniProfile, MissingFileAndKeysReadAsAbsent) {
  TempDir dir;
  IniProfile ini(dir / "none.INI", "SectionMain");
  int value = 5;
  EXPECT_FALSE(ini.ReadInt("TimeLimit", value));
  EXPECT_EQ(value, -1);
  std::string text = "x";
  EXPECT_FALSE(ini.ReadString("SnapFolder", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(std::filesystem::exists(dir / "none.INI")) << "reading must not create the file";
}

TEST(IniProfile, MinusOneAndEmptyValuesAreAbsentButZeroIsNot) {
  TempDir dir;
  WriteFile(dir / "a.INI", "[SectionMain]\nTimeLimit=-1\nAviFileIndex=0\nAviFileFolder=\n");
  IniProfile ini(dir / "a.INI", "SectionMain");
  int v = 0;
  EXPECT_FALSE(ini.ReadInt("TimeLimit", v));
  EXPECT_TRUE(ini.ReadInt("AviFileIndex", v));
  EXPECT_EQ(v, 0);
  std::string s;
  EXPECT_FALSE(ini.ReadString("AviFileFolder", s));
}

TEST(IniProfile, NamesMatchWithoutRegardToCaseAndOnlyInTheirSection) {
  TempDir dir;
  WriteFile(dir / "a.INI",
            "[Other]\nTimeLimit=7\n[sectionmain]\n  timelimit = 12 \r\n[Third]\nTimeLimit=9\n");
  IniProfile ini(dir / "a.INI", "SectionMain");
  int v = 0;
  ASSERT_TRUE(ini.ReadInt("TIMELIMIT", v));
  EXPECT_EQ(v, 12);
}

TEST(IniProfile, IntegersReadLikeThePlatformParsesThem) {
  TempDir dir;
  WriteFile(dir / "a.INI", "[SectionMain]\nA=42abc\nB=abc\nC=-17\nD=99999999999999\n");
  IniProfile ini(dir / "a.INI", "SectionMain");
  int v = 0;
  ASSERT_TRUE(ini.ReadInt("A", v));
  EXPECT_EQ(v, 42);
  ASSERT_TRUE(ini.ReadInt("B", v));
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(ini.ReadInt("C", v));
  EXPECT_EQ(v, -17);
  ASSERT_TRUE(ini.ReadInt("D", v));
  EXPECT_EQ(v, 2147483647);
}

TEST(IniProfile, LongValuesArriveCutTo259Characters) {
  TempDir dir;
  WriteFile(dir / "a.INI", "[SectionMain]\nSnapFolder=" + std::string(100000, 'x') +
                               "\nAviFileIndex=3\nU=" + std::string(258, 'a') +
                               "\xC3\xA9\xC3\xA9\n");
  IniProfile ini(dir / "a.INI", "SectionMain");
  std::string s;
  ASSERT_TRUE(ini.ReadString("SnapFolder", s));
  EXPECT_EQ(s, std::string(259, 'x'));
  int v = 0;
  ASSERT_TRUE(ini.ReadInt("AviFileIndex", v));
  EXPECT_EQ(v, 3);
  ASSERT_TRUE(ini.ReadString("U", s));
  EXPECT_EQ(s, std::string(258, 'a') + "\xC3\xA9") << "the limit counts characters";
}

TEST(IniProfile, TheLimitCountsCharactersNotBytes) {
  TempDir dir;
  std::string han;  // U+6C34, three bytes each in UTF-8
  for (int i = 0; i < 300; ++i) han += "\xE6\xB0\xB4";
  IniProfile ini(dir / "a.INI", "SectionMain");
  ASSERT_TRUE(ini.WriteString("SnapFolder", han.substr(0, 200 * 3)));
  ASSERT_TRUE(ini.WriteString("AviFileFolder", han));
  std::string s;
  ASSERT_TRUE(ini.ReadString("SnapFolder", s));
  EXPECT_EQ(s, han.substr(0, 200 * 3)) << "200 characters are within the limit";
  ASSERT_TRUE(ini.ReadString("AviFileFolder", s));
  EXPECT_EQ(s, han.substr(0, 259 * 3));

  // Bytes that are no UTF-8 count one character each and are never split off a sequence.
  WriteFile(dir / "b.INI", "[SectionMain]\nK=" + std::string(258, '\xFF') + "\xE6\xB0\xB4\xFF\n");
  IniProfile bad(dir / "b.INI", "SectionMain");
  ASSERT_TRUE(bad.ReadString("K", s));
  EXPECT_EQ(s, std::string(258, '\xFF') + "\xE6\xB0\xB4");
}

TEST(IniProfile, AnEmptyIntegerIsAbsent) {
  TempDir dir;
  WriteFile(dir / "a.INI", "[SectionMain]\nTimeLimit=\nAviFileIndex=  \r\nSnapFileIndex=x\n");
  IniProfile ini(dir / "a.INI", "SectionMain");
  int v = 0;
  EXPECT_FALSE(ini.ReadInt("TimeLimit", v));
  EXPECT_EQ(v, -1);
  EXPECT_FALSE(ini.ReadInt("AviFileIndex", v));
  ASSERT_TRUE(ini.ReadInt("SnapFileIndex", v)) << "text that is not empty still reads as 0";
  EXPECT_EQ(v, 0);
}

TEST(IniProfile, AByteOrderMarkIsReadOverAndKeptOnWrite) {
  TempDir dir;
  const std::string bom = "\xEF\xBB\xBF";
  WriteFile(dir / "a.INI", bom + "[SectionMain]\r\nTimeLimit=45\r\nSnapFolder=/x\r\n");
  IniProfile ini(dir / "a.INI", "SectionMain");
  int v = 0;
  ASSERT_TRUE(ini.ReadInt("TimeLimit", v));
  EXPECT_EQ(v, 45);
  ASSERT_TRUE(ini.WriteInt("TimeLimit", 60));
  ASSERT_TRUE(ini.WriteInt("AviFileIndex", 3));
  EXPECT_EQ(ReadFile(dir / "a.INI"),
            bom + "[SectionMain]\r\nTimeLimit=60\r\nSnapFolder=/x\r\nAviFileIndex=3\n");

  // A file that is nothing but the mark gets the section after it.
  WriteFile(dir / "b.INI", bom);
  IniProfile only(dir / "b.INI", "SectionMain");
  ASSERT_TRUE(only.WriteInt("TimeLimit", 1));
  EXPECT_EQ(ReadFile(dir / "b.INI"), bom + "\n[SectionMain]\nTimeLimit=1\n");
}

TEST(IniProfile, AReadOnlyFileIsLeftAloneInAWritableFolder) {
  TempDir dir;
  const std::string frozen = "[SectionMain]\nTimeLimit=5\n";
  WriteFile(dir / "a.INI", frozen);
  std::filesystem::permissions(dir / "a.INI", std::filesystem::perms::owner_read |
                                                  std::filesystem::perms::group_read |
                                                  std::filesystem::perms::others_read);
  IniProfile ini(dir / "a.INI", "SectionMain");
  EXPECT_FALSE(ini.WriteInt("TimeLimit", 6));
  EXPECT_FALSE(ini.WriteString("SnapFolder", "/y"));
  EXPECT_EQ(ReadFile(dir / "a.INI"), frozen);
  EXPECT_EQ(std::filesystem::status(dir / "a.INI").permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                std::filesystem::perms::others_read);
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1) << "no temporary file is left beside it";
}

TEST(IniProfile, WriteReplacesOnlyItsOwnKeyAndKeepsEveryOtherLine) {
  TempDir dir;
  const std::string before =
      "; comment\n[Other]\nTimeLimit=1\n\ngarbage line without equals\n[SectionMain]\n"
      "Keep=me\nTimeLimit=5\nAfter=x\n[Tail]\nTimeLimit=2\n";
  WriteFile(dir / "a.INI", before);
  IniProfile ini(dir / "a.INI", "SectionMain");
  ASSERT_TRUE(ini.WriteInt("timelimit", 60));
  std::string after = ReadFile(dir / "a.INI");
  std::string expected = before;
  expected.replace(expected.find("TimeLimit=5"), 11, "timelimit=60");
  EXPECT_EQ(after, expected);

  ASSERT_TRUE(ini.WriteString("NewKey", "v"));
  after = ReadFile(dir / "a.INI");
  EXPECT_NE(after.find("After=x\nNewKey=v\n[Tail]"), std::string::npos) << after;
}

TEST(IniProfile, WriteCreatesTheFileAndTheSection) {
  TempDir dir;
  IniProfile ini(dir / "new.INI", "SectionMain");
  ASSERT_TRUE(ini.WriteInt("AviFileIndex", 7));
  ASSERT_TRUE(ini.WriteString("SnapFolder", "/home/u/Pictures"));
  EXPECT_EQ(ReadFile(dir / "new.INI"),
            "[SectionMain]\nAviFileIndex=7\nSnapFolder=/home/u/Pictures\n");

  WriteFile(dir / "other.INI", "[Other]\nA=1\n");
  IniProfile other(dir / "other.INI", "SectionMain");
  ASSERT_TRUE(other.WriteInt("B", 2));
  EXPECT_EQ(ReadFile(dir / "other.INI"), "[Other]\nA=1\n[SectionMain]\nB=2\n");
}

TEST(IniProfile, BinaryFileKeepsItsBytesAroundOurKey) {
  TempDir dir;
  std::string junk("\x00\x01\xFF[\x7F=\n\x00zz", 11);
  WriteFile(dir / "b.INI", junk);
  IniProfile ini(dir / "b.INI", "SectionMain");
  int v = 0;
  EXPECT_FALSE(ini.ReadInt("TimeLimit", v));
  ASSERT_TRUE(ini.WriteInt("TimeLimit", 30));
  std::string after = ReadFile(dir / "b.INI");
  EXPECT_EQ(after.substr(0, junk.size()), junk);
  ASSERT_TRUE(ini.ReadInt("TimeLimit", v));
  EXPECT_EQ(v, 30);
}

TEST(IniProfile, AValueCannotSmuggleInAnotherLine) {
  TempDir dir;
  IniProfile ini(dir / "a.INI", "SectionMain");
  ASSERT_TRUE(ini.WriteString("SnapFolder", "/tmp/x\nTimeLimit=1"));
  int v = 0;
  EXPECT_FALSE(ini.ReadInt("TimeLimit", v));
}

TEST(IniProfile, UnreadableFileIsNeitherReadNorReplaced) {
  TempDir dir;
  std::filesystem::create_directory(dir / "a.INI");  // a path that cannot be read as a file
  IniProfile ini(dir / "a.INI", "SectionMain");
  int v = 0;
  EXPECT_FALSE(ini.ReadInt("TimeLimit", v));
  EXPECT_FALSE(ini.WriteInt("TimeLimit", 3));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "a.INI"));
}

TEST(IniProfile, FailedWriteLeavesTheOldFileAndNoDebris) {
  TempDir dir;
  std::filesystem::create_directory(dir / "ro");
  WriteFile(dir / "ro/a.INI", "[SectionMain]\nTimeLimit=5\n");
  std::filesystem::permissions(
      dir / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  IniProfile ini(dir / "ro/a.INI", "SectionMain");
  if (::access((dir / "ro").c_str(), W_OK) == 0) GTEST_SKIP() << "running as root";
  EXPECT_FALSE(ini.WriteInt("TimeLimit", 6));
  EXPECT_EQ(ReadFile(dir / "ro/a.INI"), "[SectionMain]\nTimeLimit=5\n");
}

TEST(IniProfile, TheSuperuserSavesAUsersFileAsTheUsers) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the file to another user";
  TempDir dir;
  WriteFile(dir / "a.INI", "[SectionMain]\nTimeLimit=5\n");
  ASSERT_EQ(::chown((dir / "a.INI").c_str(), 65534, 65534), 0);
  ASSERT_TRUE(IniProfile(dir / "a.INI", "SectionMain").WriteInt("TimeLimit", 6));
  struct stat st;
  ASSERT_EQ(::stat((dir / "a.INI").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);
}

TEST(IniProfile, ReplacingLeavesNoTemporaryFiles) {
  TempDir dir;
  IniProfile ini(dir / "a.INI", "SectionMain");
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(ini.WriteInt("K" + std::to_string(i), i));
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(IniProfile, Utf16FilesAreReadAndWrittenBackInTheirEncoding) {
  TempDir dir;
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
    const std::u16string before =
        u"[SectionMain]\r\nSnapFolder=/home/zo\u00EB/\U0001F4F7\r\nTimeLimit=45\r\n";
    WriteFile(dir / "a.INI", Utf16(before, bigEndian));
    IniProfile ini(dir / "a.INI", "SectionMain");
    int v = 0;
    ASSERT_TRUE(ini.ReadInt("TimeLimit", v));
    EXPECT_EQ(v, 45);
    std::string s;
    ASSERT_TRUE(ini.ReadString("SnapFolder", s));
    EXPECT_EQ(s, "/home/zo\xC3\xAB/\xF0\x9F\x93\xB7");
    ASSERT_TRUE(ini.WriteInt("TimeLimit", 60));
    ASSERT_TRUE(ini.WriteString("AviFileFolder", "/clips/\xE7\x85\xA7"));
    EXPECT_EQ(ReadFile(dir / "a.INI"),
              Utf16(u"[SectionMain]\r\nSnapFolder=/home/zo\u00EB/\U0001F4F7\r\nTimeLimit=60\r\n"
                    u"AviFileFolder=/clips/\u7167\n",
                    bigEndian));
    // A name of bytes that are no text cannot go into UTF-16: that key alone is not saved.
    EXPECT_FALSE(ini.WriteString("SnapFolder", "/x\xFF"));
    EXPECT_NE(ini.Problem(), "");
    ASSERT_TRUE(ini.ReadString("SnapFolder", s));
    EXPECT_EQ(s, "/home/zo\xC3\xAB/\xF0\x9F\x93\xB7");
  }
}

TEST(IniProfile, ALinkedFileIsSavedThroughTheLinkOnlyWhenItIsTheUsersOwn) {
  TempDir dir;
  namespace fs = std::filesystem;
  fs::create_directory(dir / "real");
  WriteFile(dir / "real/settings.INI", "[SectionMain]\nTimeLimit=5\n");
  fs::create_symlink("real/settings.INI", dir / "a.INI");
  IniProfile ini(dir / "a.INI", "SectionMain");
  ASSERT_TRUE(ini.WriteInt("TimeLimit", 6));
  EXPECT_TRUE(fs::is_symlink(dir / "a.INI"));
  EXPECT_EQ(ReadFile(dir / "real/settings.INI"), "[SectionMain]\nTimeLimit=6\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1)
      << "no temporary file is left beside the target";

  // A link to a folder, a link to nothing, and one to another user's file write nothing.
  fs::create_directory(dir / "folder");
  WriteFile(dir / "theirs.INI", "[SectionMain]\nTimeLimit=1\n");
  const bool asRoot = ::geteuid() == 0;
  if (asRoot) {
    EXPECT_EQ(::chown((dir / "theirs.INI").c_str(), 65534, 65534), 0);
  }
  for (const char* target : {"folder", "missing.INI", "theirs.INI"}) {
    if (std::string(target) == "theirs.INI" && !asRoot) continue;  // no other user's file
    SCOPED_TRACE(target);
    fs::create_symlink(target, dir / "link.INI");
    IniProfile linked(dir / "link.INI", "SectionMain");
    EXPECT_FALSE(linked.WriteInt("TimeLimit", 7));
    EXPECT_NE(linked.Problem().find("link"), std::string::npos) << linked.Problem();
    EXPECT_TRUE(fs::is_symlink(dir / "link.INI"));
    fs::remove(dir / "link.INI");
  }
  EXPECT_FALSE(fs::exists(dir / "missing.INI"));
  EXPECT_EQ(ReadFile(dir / "theirs.INI"), "[SectionMain]\nTimeLimit=1\n");
  EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

}  // namespace
