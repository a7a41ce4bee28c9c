// The INF scan: which hardware IDs an INF text yields, streamed in any pieces.
#include "drvsetup/inf_scan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "tests/unit/drvsetup/reference_inf_scan.h"
#include "tests/unit/drvsetup/sysfs_tree.h"

namespace ostrel::drvsetup {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> ScanInPieces(const std::string& text, std::mt19937& rng) {
  InfHardwareIdScanner scanner;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t piece = std::uniform_int_distribution<std::size_t>(1, 30)(rng);
    piece = std::min(piece, text.size() - pos);
    scanner.Feed(text.data() + pos, piece);
    pos += piece;
  }
  scanner.Finish();
  return scanner.ids();
}

TEST(InfScan, LowerCaseIdWithInterfaceSuffixGivesTheListForm) {
  EXPECT_THAT(ScanInfText("%Cam%=Install,usb\\vid_0f1a&pid_3301&mi_00\r\n"),
              ElementsAre("USB\\Vid_0F1A&Pid_3301"));
}

TEST(InfScan, OneEntryPerIdInOrderOfFirstAppearance) {
  const std::string inf =
      "[Models]\n"
      "%A%=Inst,USB\\VID_1D3C&PID_0200&MI_00\n"
      "%B%=Inst,USB\\VID_0F1A&PID_3301&MI_00\n"
      "%A2%=Inst,usb\\Vid_1d3c&Pid_0200&Mi_01\n"
      "[Strings]\n"
      "HwId=\"USB\\VID_0F1A&PID_3301\"\n";
  EXPECT_THAT(ScanInfText(inf), ElementsAre("USB\\Vid_1D3C&Pid_0200", "USB\\Vid_0F1A&Pid_3301"));
}

TEST(InfScan, MatchNearTheEndGivesAShorterEntry) {
  EXPECT_THAT(ScanInfText("x=USB\\VID_0F1A&P"), ElementsAre("USB\\Vid_0F1A&P"));
  EXPECT_THAT(ScanInfText("tail USB\\VID_"), ElementsAre("USB\\Vid_"));
  EXPECT_THAT(ScanInfText("tail USB\\VI"), IsEmpty());
}

TEST(InfScan, TextEndsAtTheFirstZeroByte) {
  std::string utf16;
  for (char c : std::string("USB\\VID_0F1A&PID_3301")) {
    utf16 += c;
    utf16 += '\0';
  }
  EXPECT_THAT(ScanInfText(utf16), IsEmpty());
  EXPECT_THAT(ScanInfText(std::string("USB\\VID_1\0USB\\VID_2", 20)), ElementsAre("USB\\Vid_1"));
}

TEST(InfScan, MatchesInsideATakenEntryAreSkipped) {
  // The search goes on 21 characters after a match, so a match inside that window
  // is not an entry of its own; a partial prefix does not hide a match behind it.
  EXPECT_THAT(ScanInfText("USB\\VID_USB\\VID_1234&PID_5678"),
              ElementsAre("USB\\Vid_USB\\Vid_1234&"));
  EXPECT_THAT(ScanInfText("USB\\VUSB\\VID_0001&PID_0002"), ElementsAre("USB\\Vid_0001&Pid_0002"));
  EXPECT_THAT(ScanInfText("UUSB\\VID_0001&PID_0002"), ElementsAre("USB\\Vid_0001&Pid_0002"));
}

TEST(InfScan, EveryIdInTheWindowIsLowerCased) {
  EXPECT_THAT(ScanInfText("USB\\VID_IDID&PID_IIDD"), ElementsAre("USB\\Vid_idid&Pid_IidD"));
}

TEST(InfScan, PiecesOfAnySizeGiveTheSameEntriesAsTheWholeText) {
  std::mt19937 rng(7);
  const std::string alphabet = "USBVID_\\usbvid&PMI0123456789ABCDEFx\n\0";
  for (int round = 0; round < 300; ++round) {
    std::string text;
    std::size_t length = std::uniform_int_distribution<std::size_t>(0, 400)(rng);
    for (std::size_t i = 0; i < length; ++i) {
      if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) {
        text += "usb\\VID_";
      } else {
        std::size_t pick = std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 2)(rng);
        text += alphabet[pick];
      }
    }
    ASSERT_EQ(ScanInPieces(text, rng), drvsetup_test::ReferenceInfScan(text)) << "text: " << text;
  }
}

TEST(InfScan, TensOfThousandsOfDistinctIdsAreAllKeptInOrder) {
  std::string inf;
  char line[64];
  const std::size_t count = 10500;
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(line, sizeof(line), "USB\\VID_%04zX&PID_%04zX\n", i / 1000, i % 1000);
    inf += line;
  }
  InfHardwareIdScanner scanner;
  scanner.Feed(inf.data(), inf.size());
  scanner.Finish();
  ASSERT_EQ(scanner.ids().size(), count);
  EXPECT_EQ(scanner.ids().front(), "USB\\Vid_0000&Pid_0000");
  EXPECT_EQ(scanner.ids()[4321], "USB\\Vid_0004&Pid_0141");
  EXPECT_EQ(scanner.ids().back(), "USB\\Vid_000A&Pid_01F3");

  // Repeating IDs that are already listed adds none.
  InfHardwareIdScanner again;
  for (int i = 0; i < 3; ++i) again.Feed(inf.data(), inf.size() / 2);
  again.Finish();
  EXPECT_EQ(again.ids().size(), count / 2);
}

class InfFileTest : public ::testing::Test {
 protected:
  std::string WriteInf(const std::string& text) {
    std::string path = (dir_.path() / "driver.inf").string();
    drvsetup_test::SysfsTree::Write(path, text);
    return path;
  }
  drvsetup_test::SysfsTree dir_;  // only for its temporary folder
};

TEST_F(InfFileTest, IdAcrossTheReadPieceBoundaryIsFound) {
  // The file is read in 64 KiB pieces: put the ID across the first boundary.
  std::string text(64 * 1024 - 10, ';');
  text += "USB\\VID_0F1A&PID_3301&MI_00\n";
  std::vector<std::string> ids;
  InfReadResult result = ReadInfHardwareIds(&ids, WriteInf(text));
  EXPECT_EQ(result.code, InfReadResult::kOk);
  EXPECT_THAT(ids, ElementsAre("USB\\Vid_0F1A&Pid_3301"));
}

TEST_F(InfFileTest, MissingUnreadableAndEmptyFilesAreTold) {
  std::vector<std::string> ids = {"stale"};
  EXPECT_EQ(ReadInfHardwareIds(&ids, (dir_.path() / "none.inf").string()).code,
            InfReadResult::kMissing);
  EXPECT_THAT(ids, IsEmpty());
  EXPECT_EQ(ReadInfHardwareIds(&ids, "").code, InfReadResult::kMissing);

  InfReadResult directory = ReadInfHardwareIds(&ids, dir_.root());
  EXPECT_EQ(directory.code, InfReadResult::kUnreadable);
  EXPECT_FALSE(directory.reason.empty());

  EXPECT_EQ(ReadInfHardwareIds(&ids, WriteInf("")).code, InfReadResult::kNoIds);
  EXPECT_EQ(ReadInfHardwareIds(&ids, WriteInf("[Version]\nSignature=\"$Windows NT$\"\n")).code,
            InfReadResult::kNoIds);
}

TEST_F(InfFileTest, ReadingStopsAtTheFirstZeroByte) {
  std::string text = "USB\\VID_AAAA&PID_BBBB";
  text += '\0';
  text += std::string(200 * 1024, 'x') + "USB\\VID_CCCC&PID_DDDD";
  std::vector<std::string> ids;
  EXPECT_EQ(ReadInfHardwareIds(&ids, WriteInf(text)).code, InfReadResult::kOk);
  EXPECT_THAT(ids, ElementsAre("USB\\Vid_AAAA&Pid_BBBB"));
}

}  // namespace
}  // namespace ostrel::drvsetup
